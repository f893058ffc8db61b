var m: array[0..1, Int64] of Byte;
begin end.
