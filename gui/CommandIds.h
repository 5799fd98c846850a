#pragma once

// Command IDs of every menu, tool bar and accelerator command. The numbers are those of the original
// resources (the framework's standard IDs from 57344 up, the program's own from 32771 up); the catalog
// file, the tool bar and users' habits depend on none of them, but the routing, the sort menu (32840 + a
// category index) and the help contexts do, so they are kept as they were.
namespace cmd {

// The framework's standard commands.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFileMruFirst = 57616;  // the recent-file entries, 57616 .. 57619
inline constexpr int kFileMruLast = 57619;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditFind = 57636;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditRepeat = 57640;
inline constexpr int kEditReplace = 57641;
inline constexpr int kEditSelectAll = 57642;
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kHelpIndex = 57666;
inline constexpr int kHelp = 57667;
inline constexpr int kHelpUsing = 57668;
inline constexpr int kContextHelp = 57669;
inline constexpr int kDefaultHelp = 57671;
inline constexpr int kNextPane = 57680;
inline constexpr int kPrevPane = 57681;
inline constexpr int kViewToolBar = 59392;
inline constexpr int kViewStatusBar = 59393;

// Catalog and categories.
inline constexpr int kCategorySettings = 32771;
inline constexpr int kAddItem = 32772;
inline constexpr int kEditItem = 32773;
inline constexpr int kRemoveItem = 32775;
inline constexpr int kOpenFile = 32776;
inline constexpr int kLayoutCategoriesAbove = 32779;
inline constexpr int kLayoutCategoriesBeside = 32780;
inline constexpr int kShowPreview = 32781;
inline constexpr int kMultiItemAttributes = 32782;
inline constexpr int kRenameValue = 32783;
inline constexpr int kPreviewCurrent = 32784;
inline constexpr int kPreviewFont = 32785;
inline constexpr int kBrowserMode = 32786;
inline constexpr int kBold = 32787;
inline constexpr int kRefreshValueLists = 32788;
inline constexpr int kItalic = 32790;
inline constexpr int kUnderline = 32791;
inline constexpr int kStrikeOut = 32792;
inline constexpr int kSortAscending = 32793;
inline constexpr int kTextFont = 32795;
inline constexpr int kTextColour = 32796;

// Image preview.
inline constexpr int kImageFitWindowToImage = 32807;
inline constexpr int kImageActualSize = 32808;
inline constexpr int kImageReduceFirst = 32809;  // 1/2 .. 1/10: 32809 .. 32817
inline constexpr int kImageReduceLast = 32817;
inline constexpr int kImageEnlargeFirst = 32818;  // x2 .. x10: 32818 .. 32826
inline constexpr int kImageEnlargeLast = 32826;
inline constexpr int kImageStepLarger = 32827;
inline constexpr int kImageStepSmaller = 32828;
inline constexpr int kImageReduceCustom = 32829;
inline constexpr int kImageEnlargeCustom = 32830;
inline constexpr int kImagePure = 32831;
inline constexpr int kHelpKeywordSearch = 32832;
inline constexpr int kHomePage = 32833;
inline constexpr int kImageFitToWindow = 32834;

// Sort keys: the five built-in keys, then one per category (32840 + category index, up to 32885).
inline constexpr int kSortByName = 32835;
inline constexpr int kSortByDate = 32836;
inline constexpr int kSortBySize = 32837;
inline constexpr int kSortByExtension = 32838;
inline constexpr int kSortByFolder = 32839;
inline constexpr int kSortByCategoryFirst = 32840;
inline constexpr int kSortByCategoryLast = 32885;

inline constexpr int kAddCategory = 32900;
inline constexpr int kEditCategory = 32901;
inline constexpr int kDeleteCategory = 32902;
inline constexpr int kFileProperties = 32903;
inline constexpr int kShowFileFolder = 32904;
inline constexpr int kMoveCategoryUp = 32905;
inline constexpr int kMoveCategoryDown = 32906;
inline constexpr int kOptions = 32907;
inline constexpr int kMoveDownAfterEdit = 32908;
inline constexpr int kValueSearch = 32910;
inline constexpr int kValueSearchNext = 32911;
inline constexpr int kValueSearchPrevious = 32912;
inline constexpr int kDeleteUnusedShortcuts = 32913;
inline constexpr int kAddValue = 32914;
inline constexpr int kShowNameColumn = 32915;
inline constexpr int kShowDateColumn = 32916;
inline constexpr int kShowSizeColumn = 32917;
inline constexpr int kItemSearch = 32918;
inline constexpr int kItemSearchNext = 32919;
inline constexpr int kItemSearchPrevious = 32920;
inline constexpr int kDeselectAll = 32921;
inline constexpr int kSortSettings = 32932;
inline constexpr int kSetWebPageTitle = 32933;
inline constexpr int kAddFromBrowser = 32934;
inline constexpr int kChangeDisplayName = 32935;
inline constexpr int kAddFromFavourites = 32936;
inline constexpr int kExportXml = 32937;
inline constexpr int kExportCsv = 32938;
inline constexpr int kCopyHtml = 32939;
inline constexpr int kRenameCatalog = 32940;
inline constexpr int kRunFilter = 32941;
inline constexpr int kFilterSettings = 32942;
inline constexpr int kEqualValueListWidths = 32944;
inline constexpr int kCopyImage = 32946;
inline constexpr int kCopyFiles = 32947;
inline constexpr int kCopyItemNames = 32948;
inline constexpr int kCopyFullPaths = 32949;
inline constexpr int kOpenSample = 32950;
inline constexpr int kCatalogSettings = 32951;
inline constexpr int kNewFileItem = 32952;
inline constexpr int kRenameItemFile = 32953;
inline constexpr int kDeleteItemsWithFiles = 32954;
inline constexpr int kCutFiles = 32956;
inline constexpr int kCopyFilesToFolder = 32957;
inline constexpr int kFontSettings = 32958;
inline constexpr int kBrowserBlank = 32959;
inline constexpr int kPreviewMaximise = 32961;
inline constexpr int kPreviewMinimise = 32962;
inline constexpr int kPreviewHalf = 32963;
inline constexpr int kNoPreviewExtensions = 32964;
inline constexpr int kSelectSearchHit = 32965;
inline constexpr int kTextFileExtensions = 32966;
inline constexpr int kCopyAttribute = 32967;
inline constexpr int kPasteAttribute = 32968;
inline constexpr int kBrowserExtensionSettings = 32969;
inline constexpr int kRefreshList = 32975;

inline constexpr bool isSortByCategory(int id) {
    return id >= kSortByCategoryFirst && id <= kSortByCategoryLast;
}

// The commands that the document passes on unchanged to the item list view.
inline constexpr bool isPassedItemCommand(int id) {
    switch (id) {
        case kAddFromBrowser:
        case kAddFromFavourites:
        case kChangeDisplayName:
        case kAddValue:
        case kItemSearch:
        case kItemSearchNext:
        case kItemSearchPrevious:
        case kShowFileFolder:
        case kFileProperties:
        case kOpenFile:
            return true;
        default:
            return false;
    }
}

// The commands that the document passes on to the preview: the image commands, whose enabled and checked
// states the preview reports as well.
inline constexpr bool isPassedImageCommand(int id) {
    return id == kCopyImage || id == kImageActualSize || id == kImageFitToWindow || id == kImageFitWindowToImage ||
           (id >= kImageReduceFirst && id <= kImagePure);
}

}  // namespace cmd
