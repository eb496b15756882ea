#include "DWInterface.h"

#include "Platform.h"

// Placeholder until the settings land; keeps the tree building.
TDWInterface::TDWInterface()
    : TDWInterface(platform::iniPathFor(platform::executablePath()))
{
}

TDWInterface::TDWInterface(const QString &iniFileName)
{
    SetDefaults();
    FIniFileName = iniFileName;
    LoadConfig();
}

TDWInterface::~TDWInterface() = default;

void TDWInterface::SetDefaults()
{
    FVerbose = true;
    FWispProgram.clear();
    FRtsOn = true;
    FPort = 1;
    FBaud = 19200;
    FPause.clear();
    FTargetEnabled = false;
    FTarget = QStringLiteral("16F84A");
    FReadOutputDir = platform::conventions().defaultReadOutputDir;
}

void TDWInterface::LoadConfig() { }
void TDWInterface::SaveConfig() { }
QString TDWInterface::GetProgramCommand() const { return {}; }
QString TDWInterface::GetReadCommand() const { return {}; }
