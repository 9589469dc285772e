@echo off
rem Demo installation: the KODRA service runs this file with the message text.
start /b msg.exe %1 "VELMOR:" -c:1 KODRA
