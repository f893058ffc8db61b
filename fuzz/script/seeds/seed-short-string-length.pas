var s: string[256];
begin end.
