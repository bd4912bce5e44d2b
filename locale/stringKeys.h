#pragma once

// Names for the interface texts' numbers: key N is "stringN" in the language file, and code
// asks for localisedString(StringCannotBuildKernel) rather than localisedString(70). The numbers
// are fixed by the language files in the field and never change; the English text of each is in
// localisedStrings.cpp.

enum StringKey : int {
    StringOpenImageHint = 1, // "Press Ctrl+O to open an image"
    StringCrashedLastTime = 2,
    StringWarning = 3,
    StringMenuFile = 4,
    StringMenuDeblur = 5,
    StringMenuHelp = 6,
    StringMenuOpen = 7,
    StringMenuSaveAs = 8,
    StringMenuClose = 9,
    StringMenuOptions = 10,
    StringMenuExit = 11,
    StringMenuOutOfFocus = 12,
    StringMenuFastOutOfFocus = 13,
    StringMenuMotion = 14,
    StringMenuFastMotion = 15,
    StringMenuHelpContents = 16,
    StringMenuAbout = 20,
    StringUnsavedSignedImage = 21,
    StringViewHint = 22, // the status bar's mouse help
    StringTipOpen = 23,
    StringTipSaveAs = 24,
    StringTipZoomIn = 25,
    StringTipZoomOut = 26,
    StringTipFit = 27,
    StringTipZoom100 = 28,
    StringTipSetZoom = 29,
    StringTipOutOfFocus = 30,
    StringTipFastOutOfFocus = 31,
    StringTipMotion = 32,
    StringTipFastMotion = 33,
    StringReport = 38,
    StringFormatNotSupported = 41,
    StringAbout = 42,
    StringSelectLanguage = 43,
    StringOptions = 44,
    StringOk = 45,
    StringCancel = 46,
    StringRestartForLanguage = 47,
    StringJpegQuality = 48,
    StringOpen = 49, // the title of the open-file dialog
    StringEnhanceDetailLevel = 53,
    StringLow = 54,
    StringMedium = 55,
    StringHigh = 56,
    StringNoiseLevelLabel = 57,
    StringMotionLineHint = 58,
    StringMotionCorrectionLower = 59, // "Motion correction"
    StringDuplicate = 60,
    StringDelete = 61,
    StringMotionCorrection = 62,
    StringOutOfFocusCorrection = 63,
    StringIterationsTip = 64,
    StringIterationsTipMore = 65,
    StringBack = 66,
    StringDeblurButton = 67,
    StringAbort = 68,
    StringEnergyLevel = 69,
    StringCannotBuildKernel = 70,
    StringSetPower = 71,
    StringPreview = 73,
    StringSetDetails = 75,
    StringClear = 76,
    StringNoisy = 77,
    StringBasic = 78,
    StringProgressive = 79,
    StringSmoothing = 80,
    StringGlobal = 81,
    StringTooLargeTry64Bits = 82,
    StringTooLargeTryCrop = 83,
    StringMethodLabel = 84,
    StringPowerLabel = 85,
    StringNoiseLevel = 86,
    StringImportPsf = 87,
    StringAuto = 88, // the buttons that estimate the blur
    StringTipEstimateDetail = 89,
    StringTipEstimateShake = 90,
    StringEstimatedDetail = 91, // %1 the level, %2 the confidence in per cent
    StringEstimatedShake = 92, // %1 the length in pixels, %2 the angle in degrees, %3 per cent
    StringEstimateUnsure = 93,
    StringImageTooSmall = 94, // a job on a picture under 50 x 50 pixels
    StringKernelTooLarge = 95, // a kernel larger than the processing canvas
};
