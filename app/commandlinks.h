#pragma once

#include <QString>

// The documents and addresses the Help commands open. An empty address leaves its entry off.
struct CommandLinks
{
    QString guide; // the user guide shipped with the program
    QString homepage;
    QString forum;
    QString supportEmail;

    // The guide beside the running program and the addresses this build was made with.
    static CommandLinks fromBuild();
};
