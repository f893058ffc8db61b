var x: Double;
begin
  x := 1e308 * 10;
end.
