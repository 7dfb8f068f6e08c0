#pragma once
// Identifiers of the built-in strings (English; pass them through LocalizedId).
// The texts live in resources/strings/*.txt; resources/strings/DIALOGS.md maps
// the dialog controls to the 500-599 range.
namespace StringId {
enum : int {
    AppName = 1, ConfigReadError = 2, Quit = 302, ProxyInUse = 305, ProxyNotInUse = 306, ProxyQuestion = 307,
    LanguageEnglish = 308, LanguageFrench = 309, LanguageGerman = 310, LanguageSpanish = 311, LanguageItalian = 312,
    RestartNeeded = 313,
    // Clothing types 0..9 are ClothingFirst + type.
    ClothingFirst = 314, ClothingLast = 323, ClothingMenuItem = 324,
    GroupDefault = 327, GroupUnitConverter = 328, GroupMemory = 329, GroupAlgebra = 330, GroupTipCalculator = 331,
    GroupTrig1 = 332, GroupTrig2 = 333, GroupBaseConversions = 334, GroupConstants = 335, GroupStats = 336,
    GroupCurrencyConverter = 337, GroupCustom1 = 338, GroupCustom2 = 339, GroupCustom3 = 340,
    MenuOptions = 341, MenuHelp = 342, MenuExit = 343,
    TabGeneral = 344, TabSkins = 345, TabCalculator = 346, TabGroups = 347, TabCustomize = 348, TabCurrency = 349,
    TipBillAmount = 350, TipPercent = 351, TipPeople = 352, TipAmount = 353, TipTotalPerPerson = 354,
    CurrencySymbol = 355, CurrencyExchangeRate = 356, CurrencyLastUpdate = 357, CurrencyDownloading = 358,
    CurrencyNoConnection = 359, GroupsNone = 360, GroupsTooMany = 361, GroupsErrorCaption = 362,
    PeopleSuffix = 363, PersonSuffix = 364,
    // Unit categories 0..11 are UnitCategoryFirst + category.
    UnitCategoryFirst = 365, UnitCategoryLast = 376,
    InvalidButtonText = 377, InvalidButtonCaption = 378, DisplayTooLarge = 379,
    ErrorSyntax = 380, ErrorImaginary = 381, ErrorInfinity = 382, StackSizeIs = 383, StoredMemory = 384,
    CurrencyRatesOf = 385,
    LanguageCatalan = 399, LanguagePortuguese = 400, GroupRpnBoolean = 437,

    AboutTitle = 500, AboutVersion = 501, DialogOk = 502,
    ClothingCaption = 510, ClothingTitle = 511, ClothingSelectType = 512, ClothingUS = 513, ClothingUK = 514,
    ClothingEurope = 515, ClothingJapan = 516,
    OptionsCaption = 520,
    GeneralLanguage = 530, GeneralCurrencyDownload = 531, GeneralProxyServer = 532, GeneralScrolling = 533,
    ScrollNormal = 534, ScrollSlow = 535, ScrollFast = 536, ScrollOff = 537, GeneralRegionalCurrency = 538,
    GeneralClearType = 539, GeneralPlaySounds = 540, GeneralAbout = 541, GeneralViewMemory = 542, GeneralVGA = 543,
    CalcNotation = 550, NotationNormal = 551, NotationFixed = 552, NotationScientific = 553,
    NotationEngineering = 554, CalcModeGroup = 555, ModeAlgebraic = 556, ModeDAL = 557, ModeChain = 558,
    ModeRPN = 559, CalcStackSize = 560, CalcRepeatedEquals = 561, CalcRegionalSettings = 562,
    GroupsMoveTop = 570, GroupsMoveUp = 571, GroupsMoveDown = 572, GroupsMoveBottom = 573, GroupsHint = 574,
    CustomizeSelectGroup = 580, CustomizeLarge = 581, CustomizeSmall = 582, CustomizeSelectButton = 583,
    CustomizeAdd = 584, CustomizeSwitch = 585, CustomizeAddGroup = 586, CustomizeSkinFull = 587,
    CurrencyAutoUpdate = 590, CurrencyUpdateNow = 591, CurrencyLastUpdated = 592,
    SkinsHint = 595, TrayRestore = 596, MenuButtonName = 597, KeypadName = 598, DisplayName = 599,

    // Names of the calculator keys (calculator/CommandNames.h): the first
    // string of each run; a run holds one string per command id from 0.
    // Texts with %d take a register or base number.
    CmdNameUnknown = 600, CmdNameDigitFirst = 601, CmdNameOperatorFirst = 620, CmdNameFunctionFirst = 640,
    CmdNameParenthesisFirst = 675, CmdNameMemoryStore = 680, CmdNameMemoryRecall = 681, CmdNameMemoryClear = 682,
    CmdNameMemoryPlus = 683, CmdNameMemoryRegister = 684, CmdNameMemoryMinus = 685, CmdNameEquals = 690,
    CmdNameConstantFirst = 700, CmdNameLastY = 720, CmdNameAnswer = 721, CmdNameMemoryModeSubtract = 725,
    CmdNameMemoryMode = 726, CmdNameMemoryModeRecall = 727, CmdNameMemoryModeStore = 728,
    CmdNameMemoryModeAdd = 729, CmdNameClearAll = 735, CmdNameClearEntry = 736, CmdNameBackspace = 737,
    CmdNameClipboardFirst = 740, CmdNameBinary = 745, CmdNameOctal = 746, CmdNameDecimal = 747,
    CmdNameHexadecimal = 748, CmdNameBase = 749, CmdNameStackFirst = 755,

    BelowAbsoluteZero = 790, RatesNotRatesFile = 791, RatesTimedOut = 792, RatesNotSaved = 793,
    RatesServerError = 794,
    HelpNoBrowser = 800,
    // What a screen reader says beside the painted texts.
    CurrencyBuiltInRate = 850, CurrencyDaysOld = 851, CurrencyMonthsOld = 852, CurrencyYearsOld = 853,
    SpokenPowerOfTen = 810, LabelFrom = 811, LabelTo = 812, LabelCategory = 813, LabelTip = 814, LabelSplit = 815,
    CustomizePreview = 816,
    // Spoken with the converters' lists and the Options dialog's controls.
    ReverseConversion = 900, SpokenChecked = 901, SpokenNotChecked = 902, CustomizeButtonName = 903,
    // The Groups page refuses a tick past the menu's 9 groups.
    GroupsAtMost = 920,
    // What a screen reader hears after a calculator key (calculator/KeyFeedback.h).
    SpokenNotInBase = 880, SpokenRpnOnly = 881, SpokenNumberFull = 882, SpokenNoNumber = 883,
    SpokenNotNow = 884, SpokenNoKey = 885, SpokenDegrees = 886, SpokenRadians = 887, SpokenGrads = 888,
    SpokenMemoryStored = 889, SpokenMemoryValue = 890, SpokenMemoryCleared = 891,
    // The notification of the first close to the tray.
    TrayNoticeTitle = 760, TrayNoticeText = 761,

    // The calculation history and the expression mode.
    GroupHistory = 940, HistoryClear = 941, ModeExpression = 942, HistoryEntryName = 943, HistoryEmpty = 944,

    TrayTip = 32777,
};
} // namespace StringId
