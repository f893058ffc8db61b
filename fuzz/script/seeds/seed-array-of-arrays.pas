var b: array[1..2] of array[-9223372036854775807..9223372036854775807] of Byte;
begin end.
