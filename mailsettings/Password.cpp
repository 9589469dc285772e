#include "Password.h"

#include "MailerSettings.h"

const char* UnscramblePassword(const char* stored)
{
    static char clear[512];
    ScramblePassword(clear, stored, sizeof clear);
    return clear;
}
