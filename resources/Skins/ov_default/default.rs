[PresetsPanel]
X=0
Y=136
Width=240
Height=184
File=presets.png

[Preset1Btn]
File=preset1.png
X=6
Y=6
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[Preset2Btn]
File=preset2.png
X=84
Y=6
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[Preset3Btn]
File=preset3.png
X=162
Y=6
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[Preset4Btn]
File=preset4.png
X=6
Y=65
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[Preset5Btn]
File=preset5.png
X=84
Y=65
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[Preset6Btn]
File=preset6.png
X=162
Y=65
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[Preset7Btn]
File=preset7.png
X=6
Y=124
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[Preset8Btn]
File=preset8.png
X=84
Y=124
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[Preset9Btn]
File=preset9.png
X=162
Y=124
Width=72
Height=53
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=10
TextX=7
TextY=20
TextWidth=60
TextHeight=29

[MainPanel]
X=0
Y=0
Width=240
Height=136
File=main.png

[PlayBtn]
File=play.png
X=84
Y=99
Width=72
Height=34

[VolumeUpBtn]
File=volumeup.png
X=172
Y=101
Width=58
Height=30

[VolumeDownBtn]
File=volumedown.png
X=10
Y=101
Width=58
Height=30

[StateText]
File=
X=14
Y=12
Width=212
Height=15
TextColorR=79
TextColorG=211
TextColorB=193
FontName=DejaVu Sans
FontSize=11
Scrolling=0

[StaticText]
File=
X=14
Y=31
Width=212
Height=20
TextColorR=244
TextColorG=247
TextColorB=250
FontName=DejaVu Sans
FontSize=15
Scrolling=1

[LiveText]
File=
X=14
Y=55
Width=212
Height=17
TextColorR=169
TextColorG=184
TextColorB=199
FontName=DejaVu Sans
FontSize=12
Scrolling=1

[Info]
Width=240
Height=320
Name=Orvel Default
Subname=Portrait
Author=Orvel Radio
Comments=A calm dark radio with a teal display and nine preset keys.
Web=
