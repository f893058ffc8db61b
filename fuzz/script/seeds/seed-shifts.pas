var i: Integer; s: SmallInt; b: Byte; w: Word; c: Cardinal; n: Int64;
begin
  showmessage(IntToStr(1 shl 31) + ' ' + IntToStr(1 shl 32) + ' ' + IntToStr(1 shl -1));
  i := 1 shl 31; s := -2; b := $FF; w := $FFFF; c := $80000000; n := -2;
  showmessage(IntToStr(s shr 1) + ' ' + IntToStr(b shl 24) + ' ' + IntToStr(w shl 16));
  showmessage(IntToStr(c shl 1) + ' ' + IntToStr(i shr 31) + ' ' + IntToStr(n shr 1) + ' ' + IntToStr(n shl 64));
end.
