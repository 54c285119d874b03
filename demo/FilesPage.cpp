#include "FilesPage.h"

#include <cwchar>
#include <initializer_list>
#include "DemoIds.h"

namespace Demo {

namespace {

struct SFile {
    const wchar_t* name;
    const wchar_t* size;
    const wchar_t* kind;
};

const SFile kFiles[] = {
    {L"bracket.dwg", L"412 KB", L"Drawing"},   {L"cover.png", L"96 KB", L"Picture"},
    {L"gearbox.dsn", L"1.2 MB", L"Design"},    {L"hinge.dxf", L"88 KB", L"Drawing"},
    {L"housing.dsn", L"2.4 MB", L"Design"},    {L"layout.dwg", L"640 KB", L"Drawing"},
    {L"notes.txt", L"4 KB", L"Text"},          {L"panel.dxf", L"152 KB", L"Drawing"},
    {L"photo.jpg", L"1.8 MB", L"Picture"},     {L"pulley.dsn", L"730 KB", L"Design"},
    {L"shaft.dwg", L"205 KB", L"Drawing"},     {L"spring.dsn", L"318 KB", L"Design"},
};

struct SSort {
    HWND list;
    int column;
    bool down;
};

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM data)
{
    const auto& sort = *reinterpret_cast<const SSort*>(data);
    wchar_t a[64] = {}, b[64] = {};
    ListView_GetItemText(sort.list, static_cast<int>(first), sort.column, a, 64);
    ListView_GetItemText(sort.list, static_cast<int>(second), sort.column, b, 64);
    const int order = _wcsicmp(a, b);
    return sort.down ? -order : order;
}

// Sorts by a column and moves the sort mark to it.
void SortBy(HWND list, int column, bool down)
{
    HWND header = ListView_GetHeader(list);
    for (int n = 0; n < Header_GetItemCount(header); ++n) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, n, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (n == column)
            item.fmt |= down ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, n, &item);
    }
    SSort sort = {list, column, down};
    ListView_SortItemsEx(list, CompareRows, reinterpret_cast<LPARAM>(&sort));
}

void FillList(HWND list)
{
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    const wchar_t* titles[] = {L"Name", L"Size", L"Kind"};
    const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
    const int widths[] = {150, 100, 110};
    for (int n = 0; n < 3; ++n) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = formats[n];
        column.cx = widths[n];
        column.pszText = const_cast<wchar_t*>(titles[n]);
        ListView_InsertColumn(list, n, &column);
    }
    int row = 0;
    for (const SFile& file : kFiles) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(file.name);
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(file.size));
        ListView_SetItemText(list, row, 2, const_cast<wchar_t*>(file.kind));
        ++row;
    }
    SortBy(list, 0, false);
    ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

HTREEITEM AddNode(HWND tree, HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    return TreeView_InsertItem(tree, &insert);
}

void FillTree(HWND tree)
{
    HTREEITEM projects = AddNode(tree, TVI_ROOT, L"Projects");
    HTREEITEM gearbox = AddNode(tree, projects, L"Gearbox");
    for (const wchar_t* name : {L"gearbox.dsn", L"shaft.dwg", L"pulley.dsn", L"spring.dsn"})
        AddNode(tree, gearbox, name);
    HTREEITEM housing = AddNode(tree, projects, L"Housing");
    for (const wchar_t* name : {L"housing.dsn", L"panel.dxf", L"hinge.dxf"})
        AddNode(tree, housing, name);
    HTREEITEM archive = AddNode(tree, TVI_ROOT, L"Archive");
    for (const wchar_t* name : {L"2024", L"2025"})
        AddNode(tree, AddNode(tree, archive, name), L"layout.dwg");
    TreeView_Expand(tree, projects, TVE_EXPAND);
    TreeView_Expand(tree, gearbox, TVE_EXPAND);
    TreeView_SelectItem(tree, gearbox);
}

}  // namespace

void FillFilesPage(HWND page)
{
    FillList(GetDlgItem(page, IDC_FILES_LIST));
    FillTree(GetDlgItem(page, IDC_FILES_TREE));
}

bool OnFilesPageNotify(HWND page, const NMHDR& header)
{
    if (header.idFrom != IDC_FILES_LIST || header.code != LVN_COLUMNCLICK)
        return false;
    HWND list = GetDlgItem(page, IDC_FILES_LIST);
    const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(list), column, &item);
    SortBy(list, column, (item.fmt & HDF_SORTUP) != 0);
    return true;
}

}  // namespace Demo
