var d: array[9223372036854775806..9223372036854775807] of Byte;
begin
  d[High(d)] := 7;
  showmessage(IntToStr(d[9223372036854775807] + Length(d)));
end.
