{$IF CompilerVersion >= 20} showmessage('refused'); {$IFEND}
begin end.
