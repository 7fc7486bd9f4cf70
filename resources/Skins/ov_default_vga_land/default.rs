[PresetsPanel]
X=0
Y=200
Width=640
Height=280
File=presets.png

[Preset1Btn]
File=preset1.png
X=12
Y=12
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[Preset2Btn]
File=preset2.png
X=220
Y=12
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[Preset3Btn]
File=preset3.png
X=428
Y=12
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[Preset4Btn]
File=preset4.png
X=12
Y=100
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[Preset5Btn]
File=preset5.png
X=220
Y=100
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[Preset6Btn]
File=preset6.png
X=428
Y=100
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[Preset7Btn]
File=preset7.png
X=12
Y=188
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[Preset8Btn]
File=preset8.png
X=220
Y=188
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[Preset9Btn]
File=preset9.png
X=428
Y=188
Width=196
Height=76
TextColorR=238
TextColorG=242
TextColorB=246
FontName=DejaVu Sans
FontSize=22
TextX=44
TextY=22
TextWidth=140
TextHeight=48

[MainPanel]
X=0
Y=0
Width=640
Height=200
File=main.png

[PlayBtn]
File=play.png
X=448
Y=16
Width=180
Height=80

[VolumeUpBtn]
File=volumeup.png
X=544
Y=112
Width=84
Height=72

[VolumeDownBtn]
File=volumedown.png
X=448
Y=112
Width=84
Height=72

[StateText]
File=
X=28
Y=24
Width=388
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
Width=388
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
Width=388
Height=34
TextColorR=169
TextColorG=184
TextColorB=199
FontName=DejaVu Sans
FontSize=24
Scrolling=1

[Info]
Width=640
Height=480
Name=Orvel Default
Subname=VGA landscape
Author=Orvel Radio
Comments=A calm dark radio with a teal display and nine preset keys.
Web=
