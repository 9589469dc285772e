@echo off
rem Demo installation: the KODRA service runs "execute.bat"; this one does nothing.
