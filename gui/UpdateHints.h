#pragma once

// The update hints that the document sends to all views after a change. The views read them as bits.
namespace hint {

inline constexpr int kRepaint = 0;         // nothing changed but the look: repaint only
inline constexpr int kCategories = 1;      // categories changed: lists and grid columns are rebuilt
inline constexpr int kDisplayedItems = 2;  // displayed items changed: grid rows rebuilt, preview re-read
inline constexpr int kValueLists = 4;      // value lists changed: lists refilled keeping the selection
inline constexpr int kCurrentItem = 8;     // current item or order changed: preview re-read

// The combinations the document sends.
inline constexpr int kColumnToggled = kCategories;                               // 1
inline constexpr int kListRefresh = kDisplayedItems;                             // 2
inline constexpr int kCategoriesChanged = kCategories | kDisplayedItems;         // 3
inline constexpr int kValueListsRefreshed = kValueLists;                         // 4
inline constexpr int kValuesRenamed = kDisplayedItems | kValueLists;             // 6
inline constexpr int kSortOrFilterChanged = kDisplayedItems | kCurrentItem;      // 10
inline constexpr int kUndoRedo = kCategories | kDisplayedItems | kCurrentItem;   // 11
inline constexpr int kItemAdded = kDisplayedItems | kValueLists | kCurrentItem;  // 14

inline constexpr bool has(int hintValue, int bits) {
    return (hintValue & bits) != 0;
}

}  // namespace hint
