var b: Byte; w: Word; c: Cardinal; lw: LongWord; si: ShortInt; s: SmallInt; i: Integer;
begin
  b := $0F; w := $00FF; c := 5; lw := 0; si := 5; s := 0;
  showmessage(IntToStr(not b) + ' ' + IntToStr((not w) shr 8) + ' ' + IntToStr(not c));
  showmessage(IntToStr(not lw) + ' ' + IntToStr(not si) + ' ' + IntToStr(not s));
  i := not b; showmessage(IntToStr(i) + IntToStr(not Byte(0)));
end.
