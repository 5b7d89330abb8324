#pragma once

#include "update/updateconfig.h"

#include <QString>

// The documents and addresses the Help commands open. An empty address leaves its entry off.
struct CommandLinks
{
    QString guide; // the user guide shipped with the program
    QString homepage;
    QString forum;
    QString supportEmail;
    UpdateConfig liveUpdate;

    // The guide beside the running program, the addresses this build was made with and its
    // live update.
    static CommandLinks fromBuild();
};
