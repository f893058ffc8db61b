type T = array[NativeInt] of Integer;
begin end.
