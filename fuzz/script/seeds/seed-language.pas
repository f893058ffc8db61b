program Test;
const N = 10;
type TColorName = (cRed, cGreen, cBlue);
     TPt = record x, y: Integer; end;
var i, s: Integer; t: string; p: TPt; arr: array[1..5] of Integer; f: Double;
    cs: set of TColorName;
function Fact(n: Integer): Int64;
begin
  if n <= 1 then Result := 1 else Result := n * Fact(n - 1);
end;
procedure Swap(var a, b: Integer);
var t: Integer;
begin t := a; a := b; b := t; end;
begin
  s := 0;
  for i := 1 to N do s := s + i;
  showmessage('somme=' + IntToStr(s));
  showmessage(Format('%d! = %d, %.2f, %s, %x', [15, Fact(15), 3.14159, 'abc', 255]));
  p.x := 3; p.y := 4; Swap(p.x, p.y);
  showmessage(IntToStr(p.x) + ',' + IntToStr(p.y));
  for i := Low(arr) to High(arr) do arr[i] := i * i;
  t := '';
  for i := 5 downto 1 do t := t + IntToStr(arr[i]) + ' ';
  showmessage(t);
  f := 1e-05; showmessage(FloatToStr(f)); showmessage(FloatToStr(0.1 + 0.2));
  cs := [cRed, cBlue];
  if cGreen in cs then showmessage('vert') else showmessage('pas vert');
  case s of 0..10: showmessage('petit'); 55: showmessage('55'); else showmessage('autre'); end;
  t := 'l''été'#13#10'x';
  showmessage(IntToStr(Length(t)) + ' ' + t[3]);
  i := $FF00000F; showmessage(IntToStr(i));
  showmessage(IntToStr($FF00000F));
  showmessage(extractfilename('C:\dir\file.txt') + ' ' + extractfileext('a/b.c.jpg') + ' ' + changefileext('x\y.bmp', '.jpg'));
  showmessage(FormatDateTime('yyyy', Now));
  repeat Inc(i) until i > 0;
  while i > 0 do begin i := i div 2; if i = 3 then break; end;
  showmessage(IntToStr(i));
end.
