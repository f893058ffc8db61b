var n: Int64;
begin
  n := 9223372036854775808;
end.
