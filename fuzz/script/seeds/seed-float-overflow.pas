var x, y: Double;
begin
  if False then x := 1e308 * 10;
  y := 1e308; x := 1e300 / 1e-300; x := Sqr(1e200); x := Power(10, 400);
  x := StrToFloat('1e999'); x := Exp(1000); x := y + y;
end.
