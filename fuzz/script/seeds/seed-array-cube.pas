var c: array[0..1023, 0..1023, 0..1023] of Byte;
begin end.
