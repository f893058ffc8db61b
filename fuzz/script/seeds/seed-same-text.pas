begin
  if SameText('a', 'A') and (CompareText('a', 'A') = 0) then showmessage('ascii');
  if not SameText('É', 'é') and (CompareText('É', 'é') <> 0) then showmessage('accents');
end.
