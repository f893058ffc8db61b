type TS = string[3]; TR = record n: string[2]; end;
var s: string[3]; r: TR; a: array[1..2] of TS; g: string[4] = 'abcdefg';
const C: string[2] = 'xyz';
procedure P(v: TS); begin showmessage(v); end;
function F: TS; begin Result := 'hello'; end;
begin
  s := 'abcdef'; s := s + 'zz'; r.n := 'hello'; a[1] := 'world'; P('longer');
  SetLength(s, 10); showmessage(s + r.n + a[1] + F + g + C);
end.
