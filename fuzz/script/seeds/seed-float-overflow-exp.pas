var x: Double;
begin
  x := Exp(1000);
end.
