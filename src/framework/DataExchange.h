// CDataExchange and the bindings between a dialog's controls and its members.
#pragma once
#include "framework/ModalDialog.h"

class CControl;
class CString;

// One transfer between a dialog's controls and its members, in one direction.
class CDataExchange {
public:
    CDataExchange(CModalDialog* dialog, BOOL fromControls) : m_pDialog(dialog), m_bFromControls(fromControls) {}

    CModalDialog* m_pDialog;
    // TRUE: from the controls into the members; FALSE: into the controls.
    BOOL m_bFromControls;
};

// Attaches control to the dialog's child id, unless it is attached already.
void DDX_Control(CDataExchange* exchange, int id, CControl& control);
// The whole text of child id to or from value.
void DDX_Text(CDataExchange* exchange, int id, CString& value);
// The check state of child id to or from value: 1 ticked, 0 clear.
void DDX_Check(CDataExchange* exchange, int id, int& value);
