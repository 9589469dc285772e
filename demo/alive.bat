@echo off
rem Demo installation: the KODRA service runs "alive.bat"; this one does nothing.
