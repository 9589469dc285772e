@echo off
rem Demo installation: the KODRA service runs "mail.bat"; this one does nothing.
