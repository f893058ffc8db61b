{$DEFINE A}
begin
{$IF Defined(A)} showmessage('1'); {$IFEND}
{$IF defined(B)} showmessage('no'); {$ELSEIF defined(A) and not (defined(B) or defined(C))} showmessage('2'); {$ELSE} showmessage('no'); {$ENDIF}
{$IFDEF B}{$IF broken((}{$ELSEIF also broken}{$ENDIF}{$ENDIF}
end.
