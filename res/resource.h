// Resource numbers shared by tovManager.exe and every language library.
#pragma once

// Strings of the application frame
#define IDS_APP_INIT_FAILED 1
#define IDS_APP_TITLE 2
#define IDS_ALREADY_OPEN_HEADING 212
#define IDS_ALREADY_OPEN_TEXT 213

// Names for screen readers of the controls that show no text of their own
#define IDS_CLOSE_NAME 330
#define IDS_MINIMIZE_NAME 331
#define IDS_SCROLL_BAR_NAME 332

// ---------------------------------------------------------------------------------------------
// Screens: dialog templates, bitmaps, icons and controls (the skin's block).

// Dialog templates
#define IDD_LOCATE 529
#define IDD_MAIN_MENU 530
#define IDD_NOTE 543
#define IDD_SETUP_COMPLETE 562
#define IDD_MESSAGE 563
#define IDD_SORT_SETTINGS 567
#define IDD_FIRST_DRAG 570
#define IDD_BACKUP_MENU 580
#define IDD_WIZARD_FOLDERS 581
#define IDD_WIZARD_SCHEDULE 582
#define IDD_WIZARD_SUMMARY 583
#define IDD_ADVANCED 584
#define IDD_RESTORE_TYPE 587
#define IDD_RESTORE_FILES 588
#define IDD_CHOOSE_ACCOUNT 590
#define IDD_DRIVE_MANAGEMENT 591
#define IDD_NAME_PASSWORD 593
#define IDD_CLEAN_UP 596
#define IDD_STATUS_VIEW 603
#define IDD_ACCOUNT_PURPOSE 607
#define IDD_BACKUP_PROGRESS 608
#define IDD_REPLACE_FILE 641
#define IDD_PLEASE_WAIT 642

// Background bitmaps (24 bits per pixel, only in the program's own module)
#define IDB_BG_DRIVE_MANAGEMENT 532
#define IDB_BG_NOTE 545
#define IDB_BG_LOCATE 548
#define IDB_BG_GENERAL 561
#define IDB_BG_MAIN_MENU 579
#define IDB_BG_STATUS 631
#define IDB_BG_RESTORE 632
#define IDB_BG_MESSAGE 633

// Button bitmaps (in every language library)
#define IDB_ITEM_UP 533
#define IDB_ITEM_DOWN 534
#define IDB_BUTTON_DISABLED 535
#define IDB_BUTTON_FOCUS 536
#define IDB_BUTTON_UP 537
#define IDB_BUTTON_DOWN 538
#define IDB_CLOSE_UP 539
#define IDB_CLOSE_DOWN 540
#define IDB_MINIMIZE_UP 541
#define IDB_MINIMIZE_DOWN 542
#define IDB_SORT_NOTICE 569
#define IDB_SETUP_DOWN 573
#define IDB_MANAGE_UP 574
#define IDB_MANAGE_DOWN 575
#define IDB_BACKUP_UP 576
#define IDB_BACKUP_DOWN 577
#define IDB_SETUP_UP 578
#define IDB_LINK 595
#define IDB_SETUP_FOCUS 638
#define IDB_BACKUP_FOCUS 639
#define IDB_MANAGE_FOCUS 640

// Icons
#define IDI_APP 565
#define IDI_STATE_INCOMPLETE 611
#define IDI_STATE_FAILED 612
#define IDI_STATE_COMPLETE 613

// Controls of the Locate screen
#define IDC_SCAN_PROGRESS 1000
#define IDC_DEVICE_LIST 1001
#define IDC_SCAN_TITLE 1006
#define IDC_SCAN_MESSAGE 1008
#define IDC_START 1041
#define IDC_START_LABEL 1042
#define IDC_DRIVES_LOCATED 1062
#define IDC_WEB_LABEL 1184
#define IDC_WEB 1185

// Controls many screens share
#define IDC_NEXT 1004 // the forward button: Next, Open, Finish, Save, OK, Done
#define IDC_NEXT_LABEL 1005
#define IDC_TITLE 1010
#define IDC_DEVICE 1011 // appliance name at the right of the title, or a heading line
#define IDC_BACK 1012
#define IDC_BACK_LABEL 1013
#define IDC_INSTRUCTION 1014
#define IDC_HELP_LINK 1015   // help link text
#define IDC_HELP_BUTTON 1016 // bitmap 595, lying over the link text
#define IDC_MESSAGE_TEXT 1017
#define IDC_CANCEL 1018
#define IDC_CANCEL_LABEL 1019
#define IDC_HEADING 1020
#define IDC_VERSION 1093
#define IDC_MINIMIZE 1186
#define IDC_CLOSE 1187

// Setup complete (562)
#define IDC_COMPLETE_FOLDER 1021
#define IDC_COMPLETE_SHORTCUT 1022

// MessageDialog (563): left and right buttons
#define IDC_CODE_LINE 1023
#define IDC_LEFT_BUTTON 1024
#define IDC_LEFT_LABEL 1025
#define IDC_RIGHT_BUTTON 1026
#define IDC_RIGHT_LABEL 1027

// Drag and Sort settings (567) and the first-drag notice (570)
#define IDC_SORT_CAPTION 1030
#define IDC_SORT_ON 1031
#define IDC_SORT_OFF 1032
#define IDC_SORT_PRIVATE 1033
#define IDC_SORT_PUBLIC 1034
#define IDC_SORT_ICON 1035
#define IDC_SORT_ENABLE 1036

// Main menu (530)
#define IDC_MENU_SETUP 1101
#define IDC_MENU_SETUP_LABEL 1102
#define IDC_MENU_BACKUP 1103
#define IDC_MENU_BACKUP_LABEL 1104
#define IDC_MENU_MANAGE 1105
#define IDC_MENU_MANAGE_LABEL 1106

// No-password note (543)
#define IDC_MANAGE 1107
#define IDC_MANAGE_LABEL 1108

// Backup and restore menu (580)
#define IDC_BM_SETTINGS 1110
#define IDC_BM_SETTINGS_LABEL 1111
#define IDC_BM_RESTORE 1112
#define IDC_BM_RESTORE_LABEL 1113
#define IDC_BM_STATUS 1114
#define IDC_BM_STATUS_LABEL 1115
#define IDC_BM_CLEAN 1116
#define IDC_BM_CLEAN_LABEL 1117
#define IDC_BM_BACKUP_NOW 1118
#define IDC_BM_BACKUP_NOW_LABEL 1119

// Backup wizard: folders (581), schedule (582), summary (583)
#define IDC_BACKUP_TREE 1120
#define IDC_DAY_SUNDAY 1121 // 1121 to 1127: Sunday to Saturday, the bits of the day mask
#define IDC_DAY_MONDAY 1122
#define IDC_DAY_TUESDAY 1123
#define IDC_DAY_WEDNESDAY 1124
#define IDC_DAY_THURSDAY 1125
#define IDC_DAY_FRIDAY 1126
#define IDC_DAY_SATURDAY 1127
#define IDC_SCHEDULE_TIME 1128
#define IDC_SCHEDULE_DAYS_CAPTION 1129
#define IDC_SUMMARY_DEST_CAPTION 1130
#define IDC_SUMMARY_DEST 1131
#define IDC_SUMMARY_SCHED_CAPTION 1132
#define IDC_SUMMARY_SCHED 1133
#define IDC_SUMMARY_ON 1134
#define IDC_SUMMARY_OFF 1135
#define IDC_EDIT 1136
#define IDC_EDIT_LABEL 1137
#define IDC_ADVANCED 1138
#define IDC_ADVANCED_LABEL 1139
#define IDC_SCHEDULE_TIME_CAPTION 1147

// Advanced settings (584)
#define IDC_VERSIONS_CAPTION 1140
#define IDC_VERSIONS 1141
#define IDC_VERSIONS_NOTE 1142
#define IDC_TAGS_CAPTION 1143
#define IDC_TAGS_ON 1144
#define IDC_TAGS_OFF 1145
#define IDC_TAGS_NOTE 1146

// Restore type (587)
#define IDC_RESTORE_VERSION 1150
#define IDC_RESTORE_VERSION_NOTE 1151
#define IDC_RESTORE_RECENT 1152
#define IDC_RESTORE_RECENT_NOTE 1153

// Restore files (588)
#define IDC_SELECT_FILE 1160
#define IDC_SELECT_VERSION 1161
#define IDC_RESTORING 1162
#define IDC_RESTORE_PROGRESS 1163
#define IDC_RESTORE_TO 1164
#define IDC_RESTORE_ORIGINAL 1165
#define IDC_RESTORE_TEMPORARY 1166
#define IDC_RESTORE_TEMP_FOLDER 1167
#define IDC_RESTORE 1168
#define IDC_RESTORE_LABEL 1169
#define IDC_FOLDER_TREE 1221
#define IDC_VERSION_TREE 1222

// Choose account (590)
#define IDC_NEW_USER 1170
#define IDC_CHOOSE_ACCOUNT 1171
#define IDC_ACCOUNT_PUBLIC 1172
#define IDC_ACCOUNT_PRIVATE 1173
#define IDC_EXISTING_USER 1174
#define IDC_ACCOUNT_EXISTING 1175

// Drive management (591)
#define IDC_DM_SORT 1190
#define IDC_DM_SORT_LABEL 1191
#define IDC_DM_WEB 1192
#define IDC_DM_WEB_LABEL 1193
#define IDC_DM_STATUS 1194
#define IDC_DM_STATUS_LABEL 1195
#define IDC_DM_MEDIA 1196
#define IDC_DM_MEDIA_LABEL 1197

// Name and password (593)
#define IDC_NAME_CAPTION 1200
#define IDC_NAME 1201
#define IDC_PASSWORD_CAPTION 1202
#define IDC_PASSWORD 1203
#define IDC_RETYPE_CAPTION 1204
#define IDC_RETYPE 1205
#define IDC_ACCOUNT_LIST 1206

// File maintenance (596)
#define IDC_CLEAN_DELETE_CAPTION 1210
#define IDC_CLEAN_DELETE 1211
#define IDC_CLEAN_DELETE_LABEL 1212
#define IDC_CLEAN_DELETE_NOTE 1213
#define IDC_CLEAN_SYNC_CAPTION 1214
#define IDC_CLEAN_SYNC 1215
#define IDC_CLEAN_SYNC_LABEL 1216
#define IDC_CLEAN_SYNC_NOTE 1217

// Status view (603): a grid of 7 rows by 4 cells, cell (row, column) = IDC_GRID + row * 4 + column
#define IDC_GRID 1230
#define IDC_GRID_LAST 1257
#define IDC_LEGEND_COMPLETE 1260
#define IDC_LEGEND_INCOMPLETE 1261
#define IDC_LEGEND_FAILED 1262
#define IDC_LEGEND_COMPLETE_TEXT 1263
#define IDC_LEGEND_INCOMPLETE_TEXT 1264
#define IDC_LEGEND_FAILED_TEXT 1265
#define IDC_STATUS_SCROLL 1266

// Account purpose (607)
#define IDC_PURPOSE_HEADING 1270
#define IDC_PURPOSE_HOME 1271
#define IDC_PURPOSE_BUSINESS 1272
#define IDC_PURPOSE_DESCRIPTION 1273

// Backup progress (608)
#define IDC_PROGRESS_STATUS 1280
#define IDC_PROGRESS_COUNTER 1281
#define IDC_PROGRESS_FILE 1282
#define IDC_PROGRESS_FOLDER 1283

// Replace-file question (641)
#define IDC_REPLACE_EXISTS 1290
#define IDC_REPLACE_QUESTION 1291
#define IDC_REPLACE_OLD 1292
#define IDC_REPLACE_WITH 1293
#define IDC_REPLACE_NEW 1294
