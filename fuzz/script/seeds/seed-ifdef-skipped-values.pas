begin
{$IFDEF NEVER}
  x := 18446744073709551615; y := 1e999; z := $12345678901234567; c := #1114112; d := #;
  s := '{$ENDIF}'; // {$ENDIF}
  (* {$ENDIF} *) { {$ELSE} don't
{$ELSE}
  showmessage('taken');
{$ENDIF}
end.
