{$DEFINE X}
type TE = (a, b, c); TS = set of TE; TR = record p: TPoint; v: array[1..3] of TE; end;
const K: array[0..1] of string = ('x', 'y');
var r: TR; s: TS; i: Integer; t: string; g: TGUID; icons: TBorderIcons;
function F(var x: Integer; const y: string = 'd'): string; forward;
function F(var x: Integer; const y: string): string;
begin Inc(x); Result := y + IntToStr(x); if x < 3 then Exit(F(x)); end;
begin
  {$IFDEF X} s := [a, c] + [b] - [a]; {$ELSE} s := []; {$ENDIF}
  r.v[2] := c; r.p.x := 4; i := 0; t := F(i, 'q');
  case Ord(r.v[2]) of 0: ; 1..2: t := t + Format('%d %s %.2f', [i, K[1], 1.5]); else Boom; end;
  icons := [biHelp]; g.D4[7] := 1;
  while i < 10 do begin i := i + 1; if i mod 2 = 0 then continue; t := t + t[1]; end;
  repeat Dec(i) until i <= 0;
  for i := 10 downto 1 do if i in [2..4] then break;
end.
