var s: string;
begin
  showmessage(QuotedStr('') + QuotedStr('''') + QuotedStr('a''b''''c'));
  s := QuotedStr(DupeString('abcdefgh''', 1000));
  showmessage(IntToStr(Length(s)));
end.
