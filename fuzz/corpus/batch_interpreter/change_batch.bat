rem 接続場所=本社 ^& x
netsh interface ip set address name="ローカル エリア接続" source=static addr=10.1.0.25 mask=255.255.0.0
netsh interface ip set dns name="ローカル エリア接続" source=static addr=10.1.0.53 register=PRIMARY
net use * /delete /yes
net use Z: \\fs01\pub "p&ss" /USER:u
net share pub="C:\Program Files" /UNLIMITED /REMARK:"100% ok"
