@ECHO off
REM --- Created by KODRA configuration ---
Quorrin.exe
ktSleep.exe 3
Voldrun.exe poweroff force
@CLS
