// Command identifiers of the main menu, toolbar, accelerators and status bar.
#pragma once

namespace corvane::cmd {
// Sound commands handled by the panel.
constexpr int SoundLoop = 32775;
constexpr int SoundOneShot = 32776;
// Long listening: pause, sleep timer, the resting main loop.
constexpr int SoundPause = 32790;
constexpr int SoundSleepTimer = 32791;
constexpr int SoundSleepQuit = 32792;
constexpr int SoundPowerSaving = 32793;

// View commands of this program: the spectrum pane and the panel's zoom steps.
constexpr int ViewSpectrum = 32800;
constexpr int ViewZoom100 = 32801;
constexpr int ViewZoom125 = 32802;
constexpr int ViewZoom150 = 32803;
constexpr int ViewZoom200 = 32804;

// File commands.
constexpr int FileExportAudio = 32810;
constexpr int FileNew = 57600;
constexpr int FileOpen = 57601;
constexpr int FileClose = 57602;
constexpr int FileSave = 57603;
constexpr int FileSaveAs = 57604;
constexpr int FilePageSetup = 57605;
constexpr int FilePrintSetup = 57606;
constexpr int FilePrint = 57607;
constexpr int FilePrintDirect = 57608;
constexpr int FilePrintPreview = 57609;
constexpr int FileMruFirst = 57616; // eight recent-file slots
constexpr int FileMruLast = 57631;

// Edit commands: present in the menu, nothing handles them.
constexpr int EditClear = 57632;
constexpr int EditClearAll = 57633;
constexpr int EditCopy = 57634;
constexpr int EditCut = 57635;
constexpr int EditFind = 57636;
constexpr int EditPaste = 57637;
constexpr int EditRepeat = 57640;
constexpr int EditReplace = 57641;
constexpr int EditSelectAll = 57642;
constexpr int EditUndo = 57643;
constexpr int EditRedo = 57644;

constexpr int WindowNew = 57648;
constexpr int WindowSplit = 57653;
constexpr int AppAbout = 57664;
constexpr int AppExit = 57665;
constexpr int NextPane = 57680;
constexpr int PrevPane = 57681;

// Bars: the View toggles carry the bars' own identifiers.
constexpr int ViewToolbar = 59392;
constexpr int ViewStatusBar = 59393;
constexpr int ReBar = 59396;

// Status-bar indicator strings.
constexpr int IndicatorExt = 59136;
constexpr int IndicatorCaps = 59137;
constexpr int IndicatorNum = 59138;
constexpr int IndicatorScrl = 59139;
constexpr int IndicatorOvr = 59140;
constexpr int IndicatorRec = 59141;

// Application strings.
constexpr int AppTitleString = 57344;
constexpr int IdleMessageString = 57345;
} // namespace corvane::cmd
