[PresetsPanel]
X=0
Y=272
Width=480
Height=368
File=presets.png

[Preset1Btn]
File=preset1.png
X=12
Y=12
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[Preset2Btn]
File=preset2.png
X=168
Y=12
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[Preset3Btn]
File=preset3.png
X=324
Y=12
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[Preset4Btn]
File=preset4.png
X=12
Y=130
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[Preset5Btn]
File=preset5.png
X=168
Y=130
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[Preset6Btn]
File=preset6.png
X=324
Y=130
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[Preset7Btn]
File=preset7.png
X=12
Y=248
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[Preset8Btn]
File=preset8.png
X=168
Y=248
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[Preset9Btn]
File=preset9.png
X=324
Y=248
Width=144
Height=106
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=20
TextX=14
TextY=40
TextWidth=120
TextHeight=58

[MainPanel]
X=0
Y=0
Width=480
Height=272
File=main.png

[PlayBtn]
File=play.png
X=168
Y=198
Width=144
Height=68

[VolumeUpBtn]
File=volumeup.png
X=344
Y=202
Width=116
Height=60

[VolumeDownBtn]
File=volumedown.png
X=20
Y=202
Width=116
Height=60

[StateText]
File=
X=28
Y=24
Width=424
Height=30
TextColorR=79
TextColorG=211
TextColorB=193
FontName=DejaVu Sans
FontSize=22
Scrolling=0

[StaticText]
File=
X=28
Y=62
Width=424
Height=40
TextColorR=244
TextColorG=247
TextColorB=250
FontName=DejaVu Sans
FontSize=30
Scrolling=1

[LiveText]
File=
X=28
Y=110
Width=424
Height=34
TextColorR=169
TextColorG=184
TextColorB=199
FontName=DejaVu Sans
FontSize=24
Scrolling=1

[Info]
Width=480
Height=640
Name=Orvel Default
Subname=VGA portrait
Author=Orvel Radio
Comments=A calm dark radio with a teal display and nine preset keys.
Web=
