[PresetsPanel]
X=0
Y=100
Width=320
Height=140
File=presets.png

[Preset1Btn]
File=preset1.png
X=6
Y=6
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[Preset2Btn]
File=preset2.png
X=110
Y=6
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[Preset3Btn]
File=preset3.png
X=214
Y=6
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[Preset4Btn]
File=preset4.png
X=6
Y=50
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[Preset5Btn]
File=preset5.png
X=110
Y=50
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[Preset6Btn]
File=preset6.png
X=214
Y=50
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[Preset7Btn]
File=preset7.png
X=6
Y=94
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[Preset8Btn]
File=preset8.png
X=110
Y=94
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[Preset9Btn]
File=preset9.png
X=214
Y=94
Width=98
Height=38
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=11
TextX=22
TextY=11
TextWidth=70
TextHeight=24

[MainPanel]
X=0
Y=0
Width=320
Height=100
File=main.png

[PlayBtn]
File=play.png
X=224
Y=8
Width=90
Height=40

[VolumeUpBtn]
File=volumeup.png
X=272
Y=56
Width=42
Height=36

[VolumeDownBtn]
File=volumedown.png
X=224
Y=56
Width=42
Height=36

[StateText]
File=
X=14
Y=12
Width=194
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
Width=194
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
Width=194
Height=17
TextColorR=169
TextColorG=184
TextColorB=199
FontName=DejaVu Sans
FontSize=12
Scrolling=1

[Info]
Width=320
Height=240
Name=Orvel Default
Subname=Landscape
Author=Orvel Radio
Comments=A calm dark radio with a teal display and nine preset keys.
Web=
