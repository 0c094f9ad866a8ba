// Identifiers of the built-in resources and of the setup dialog's controls.
#pragma once

#define IDR_MAINFRAME 128        // icon group: 48 x 48 and 32 x 32
#define IDD_KIVSETUP_DIALOG 131  // the setup dialog's template
#define IDB_LOGO 135             // the default logo, 440 x 110

#define IDC_LICENSE 1000        // licence edit, multi-line, read-only
#define IDC_AGREE 1002          // "I &Agree" check box
#define IDC_BROWSE 1012         // "Browse..." button
#define IDC_DIR 1013            // target directory edit
#define IDC_DIR_GROUP 1014      // group box around the directory
#define IDC_INSTALL 1015        // "INSTALL", later "&Exit"
#define IDC_LOGO 1017           // logo picture
#define IDC_LICENSE_GROUP 1018  // "End-User License Agreement" group box
#define IDC_QUESTION 1019       // "Do you agree to the terms above?"
#define IDC_COPYRIGHT 1020      // copyright line
#define IDC_COMPLETE 1021       // "Installation Complete!", hidden until the end
