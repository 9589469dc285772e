// The shutdown-sequence editor: composes the client shutdown batch file from
// the available commands and writes it when the user confirms.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BatchFile.h"
#include "classlib.h"

class CBatchEdtDlg : public CDialog {
public:
    CBatchEdtDlg(const char* batchFile, CWnd* parent);
    ~CBatchEdtDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // Tests only: the tooltip control's creation fails while this is on.
    static void FailToolTipForTests(bool fail);

protected:
    const classlib::MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnAddCommand();
    void OnAddAllCommands();
    void OnRemoveCommand();
    void OnRemoveAllCommands();
    void OnAddCustomApp();
    void OnMoveCommand(NMHDR* header, LRESULT* result);
    void OnClickAvailable(NMHDR* header, LRESULT* result);
    void OnRClickAvailable(NMHDR* header, LRESULT* result);
    void OnItemChangedAvailable(NMHDR* header, LRESULT* result);
    void OnClickSequence(NMHDR* header, LRESULT* result);
    void OnRClickSequence(NMHDR* header, LRESULT* result);
    void OnItemChangedSequence(NMHDR* header, LRESULT* result);

    // Position -1: after the first selected item, or at the end.
    void InsertCommand(CListCtrl& list, CBatchCmd* entry, int position);
    void RemoveCommand(CListCtrl& list, CBatchCmd* entry);
    CBatchCmd* GetSelectedCommand(CListCtrl& list, int* index);
    void ShowDescription(CListCtrl& list, int index);
    void InsertCommands(CListCtrl& list, const BatchCmdList& entries);
    void FillAvailableList(const BatchCmdList& table);
    void ClearSequenceList();

private:
    bool CreateToolTips();
    void BuildCommandTable();
    // Keeps the entry alive for the editor's lifetime.
    CBatchCmd* Keep(BatchCmdPtr entry);
    // A wait or relay entry made now: into the table and the sequence.
    void AddMadeCommand(BatchCmdPtr entry);
    void AddWait();
    void AddRelays();
    void ShowNotifiedItem(CListCtrl& list, NMHDR* header);
    void ShowActivatedItem(CListCtrl& list, NMHDR* header);

    std::string m_strBatchFile;
    std::string m_strGlobalPath;
    std::vector<BatchCmdPtr> m_entries;  // every entry the editor made
    BatchCmdList m_commandTable;
    std::unique_ptr<CToolTipCtrl> m_toolTip;

    CStatic m_staticFile;
    CListCtrl m_listAvailable;
    CButton m_buttonAdd;
    CButton m_buttonAddAll;
    CButton m_buttonRemove;
    CButton m_buttonRemoveAll;
    CListCtrl m_listSequence;
    CSpinButtonCtrl m_spinMove;
    CStatic m_staticName;
    CStatic m_staticDescription;
    CButton m_buttonCustom;
    CButton m_buttonCancel;
    CButton m_buttonOK;
};
