//Macro enregistrée le mardi 5 mars 2024 à 10:11:12

begin
    setMute(True);
    Volume(50);
    Color($FF00000F);
    Name('l''été');
    Ratio(0.5);
    Ratio(1e-05);
    Pos(10,20);
    Rect(1,2,3,4);
    Font('Arial', 12, $0000FF, True, False, False, False);
    Grab;
end.
