rem %1 %~2 %* %PATH% %CD%
copy /Y "%SystemRoot%\system32\drivers\etc\hosts" C:\h.txt && del /F C:\h.txt || exit /b 3
call "C:\run.bat" again ^
& exit 7
