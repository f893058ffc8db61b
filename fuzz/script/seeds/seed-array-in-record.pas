type R = record n: Integer; a: array[Int64] of Byte; end;
begin end.
