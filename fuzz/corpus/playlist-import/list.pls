[playlist]
File1=a.mp3
Title1=A
Length1=60
File2=file:///m/b%20c.wav
NumberOfEntries=2
Version=2
