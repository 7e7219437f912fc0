rundll32 printui.dll,PrintUIEntry /y /n "\\prn\経理"
netsh interface ip add wins name="ワイヤレス ネットワーク接続" addr=10.0.0.9
netsh interface ip delete dns name="x" all
BRISCO "/S:a"
