const M = -9223372036854775808; L = Low(Int64); H = High(Int64);
var n: Int64;
begin
  n := -9223372036854775808;
  if (M = L) and (n = L) and (M + H = -1) then showmessage(IntToStr(M div 2));
  case n of -9223372036854775808: showmessage('case'); end;
end.
