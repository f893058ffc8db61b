type TE = (e0, e1, e2, e3);
const N = 3;
var a: array[Ord('a')..Ord('c')] of Integer; b: array[Low(Byte)..N] of Integer;
    c: array[Byte(2)..5] of Integer; d: array[TE(1)..High(TE)] of Integer;
    f: array[Low(Int64)..Low(Int64) + 1] of Byte;
begin
  a[Ord('b')] := 7; f[-9223372036854775808] := 1;
  showmessage(IntToStr(Length(a) + Length(b) + Length(c) + Length(d) + Low(f)));
end.
