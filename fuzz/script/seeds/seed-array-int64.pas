var a: array[Int64] of Byte;
begin end.
