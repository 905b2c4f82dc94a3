#!/usr/bin/env python3
"""Writes the screens' dialog templates and their layout table from one description.

Usage: make_dialogs.py OUT_RC OUT_LAYOUT_INC OUT_SAMPLES_INC. Places are pixels of the 650 by 364 face (504 by
294 for the small dialogs); the templates get them in dialog units of "Verdana" 8, and the
screens' start-up code moves every control to its pixel place again. Texts in the templates are
placeholders; the screens fill them from the string table. The layout table (places, looks,
images, string numbers) is what the screens place their controls by; the sample texts and the
gallery-only visibility go to a table of their own that only the gallery reads.
"""
import sys

FULL = (371, 224, 650, 364)
SMALL = (288, 181, 504, 294)

BLUE, GREY = 'kTitleBlue', 'kBodyGrey'
PUSH = ('IDB_BUTTON_UP', 'IDB_BUTTON_DOWN', 'IDB_BUTTON_FOCUS', 'IDB_BUTTON_DISABLED')
ITEM = ('IDB_ITEM_UP', 'IDB_ITEM_DOWN', 'IDB_ITEM_DOWN', 'IDB_ITEM_UP')
LINK = ('IDB_LINK', '0', '0', '0')


class C:
    """One control: kind, id, place, text and look."""

    def __init__(self, kind, cid, x, y, w=0, h=0, sid=0, sample=None, colour=GREY, bold=False,
                 size=13, underline=False, align='left', images=None, label=None, hidden=False,
                 gallery=None, disabled=False, group=False, items=None, placeholder=None):
        self.__dict__.update(locals())
        del self.__dict__['self']


def title(sid, size=15):
    return C('label', 'IDC_TITLE', 120, 92, 300, 24, sid, colour=BLUE, bold=True, size=size,
             placeholder='Title')


def device(x=400, y=95, w=220, h=20, align='right', sample='NAS1'):
    return C('label', 'IDC_DEVICE', x, y, w, h, sample=sample, colour=BLUE, bold=True,
             align=align, placeholder='Device')


def push(cid, label, x, sid, y=325, disabled=False, hidden=False):
    return [C('label', label, x, y + 4, 96, 16, sid, align='center', placeholder='Button',
              hidden=hidden),
            C('button', cid, x, y, 96, 24, images=PUSH, label=label, disabled=disabled,
              hidden=hidden)]


def back(sid=4, x=88):
    return push('IDC_BACK', 'IDC_BACK_LABEL', x, sid)


def forward(sid=3, x=478, disabled=False):
    return push('IDC_NEXT', 'IDC_NEXT_LABEL', x, sid, disabled=disabled)


def help_link(sid, x, y, w=350, size=13):
    return [C('link', 'IDC_HELP_LINK', x, y + 4, w, 16, sid, colour=BLUE, underline=True,
              size=size, placeholder='Link'),
            C('button', 'IDC_HELP_BUTTON', x, y, 350, 20, images=LINK, label='IDC_HELP_LINK')]


def item(cid, label, bx, by, lx, ly, sid, lw=300, lh=18):
    return [C('label', label, lx, ly, lw, lh, sid, colour=BLUE, placeholder='Item'),
            C('button', cid, bx, by, 20, 20, images=ITEM, label=label)]


def text(cid, x, y, w, h, sid=0, sample=None, **kw):
    kw.setdefault('placeholder', 'Message')
    return C('label', cid, x, y, w, h, sid, sample, **kw)


VERSION = C('label', 'IDC_VERSION', 20, 340, 280, 40, sample='v1.1.0.35', size=11,
            placeholder='v1.1.0.35')

SCREENS = [
    ('IDD_LOCATE', FULL, 'IDB_BG_LOCATE', [
        VERSION,
        text('IDC_SCAN_TITLE', 130, 103, 280, 40, 7, bold=True, placeholder='Title'),
        C('progress', 'IDC_SCAN_PROGRESS', 130, 130, 280, 20),
        text('IDC_SCAN_MESSAGE', 130, 170, 420, 60, 8, hidden=True),
        text('IDC_DRIVES_LOCATED', 130, 170, 280, 16, 27, hidden=True, gallery=True),
        C('combo', 'IDC_DEVICE_LIST', 130, 190, 280, 150, hidden=True, gallery=True,
          items=['NAS1 (192.168.1.20)', 'OFFICE (192.168.1.31)']),
        *push('IDC_START', 'IDC_START_LABEL', 358, 22, disabled=True),
        *forward(3),
        *push('IDC_WEB', 'IDC_WEB_LABEL', 88, 50),
    ]),
    ('IDD_MAIN_MENU', FULL, 'IDB_BG_MAIN_MENU', [
        title(5), device(280, 92, 150, 50, 'left'),
        C('label', 'IDC_MENU_SETUP_LABEL', 90, 190, 124, 48, 10, colour=BLUE, bold=True,
          align='center', placeholder='Item'),
        C('button', 'IDC_MENU_SETUP', 120, 120, 64, 64,
          images=('IDB_SETUP_UP', 'IDB_SETUP_DOWN', 'IDB_SETUP_FOCUS', '0'),
          label='IDC_MENU_SETUP_LABEL'),
        C('label', 'IDC_MENU_BACKUP_LABEL', 210, 190, 104, 48, 56, colour=BLUE, bold=True,
          align='center', placeholder='Item'),
        C('button', 'IDC_MENU_BACKUP', 230, 120, 64, 64,
          images=('IDB_BACKUP_UP', 'IDB_BACKUP_DOWN', 'IDB_BACKUP_FOCUS', '0'),
          label='IDC_MENU_BACKUP_LABEL'),
        C('label', 'IDC_MENU_MANAGE_LABEL', 320, 190, 104, 48, 11, colour=BLUE, bold=True,
          align='center', placeholder='Item'),
        C('button', 'IDC_MENU_MANAGE', 340, 120, 64, 64,
          images=('IDB_MANAGE_UP', 'IDB_MANAGE_DOWN', 'IDB_MANAGE_FOCUS', '0'),
          label='IDC_MENU_MANAGE_LABEL'),
        text('IDC_MESSAGE_TEXT', 115, 234, 530, 40, 16, size=12),
        *back(6), VERSION,
    ]),
    ('IDD_NOTE', FULL, 'IDB_BG_NOTE', [
        text('IDC_HEADING', 120, 92, 480, 22, 9, colour=BLUE, bold=True, size=15,
             placeholder='Title'),
        text('IDC_MESSAGE_TEXT', 120, 122, 490, 180, 24),
        *push('IDC_MANAGE', 'IDC_MANAGE_LABEL', 88, 26), *forward(3),
    ]),
    ('IDD_SETUP_COMPLETE', FULL, 'IDB_BG_GENERAL', [
        title(29), device(),
        text('IDC_HEADING', 130, 128, 460, 20, 33, colour=BLUE, bold=True),
        text('IDC_COMPLETE_FOLDER', 130, 156, 460, 36, 34),
        text('IDC_COMPLETE_SHORTCUT', 130, 196, 460, 90, 35),
        *back(216), *forward(36),
    ]),
    ('IDD_MESSAGE', SMALL, 'IDB_BG_MESSAGE', [
        text('IDC_HEADING', 30, 60, 444, 20, 9, colour=BLUE, bold=True, placeholder='Title'),
        text('IDC_MESSAGE_TEXT', 30, 90, 444, 120, 48),
        text('IDC_CODE_LINE', 30, 214, 300, 16, sample='Error code: A007', placeholder='Code'),
        *push('IDC_LEFT_BUTTON', 'IDC_LEFT_LABEL', 120, 50, y=257),
        *push('IDC_RIGHT_BUTTON', 'IDC_RIGHT_LABEL', 288, 37, y=257),
    ]),
    ('IDD_SORT_SETTINGS', FULL, 'IDB_BG_GENERAL', [
        title(143),
        text('IDC_MESSAGE_TEXT', 130, 115, 480, 80, 58),
        text('IDC_SORT_CAPTION', 130, 200, 165, 16, 59, bold=True, placeholder='Caption'),
        C('radio', 'IDC_SORT_ON', 300, 200, 95, 16, 109, group=True),
        C('radio', 'IDC_SORT_OFF', 400, 200, 110, 16, 110),
        C('radio', 'IDC_SORT_PRIVATE', 130, 220, 400, 16, 147, group=True),
        C('radio', 'IDC_SORT_PUBLIC', 130, 240, 400, 16, 148),
        *help_link(184, 130, 256, w=480),
        *back(4, 78), *forward(118),
    ]),
    ('IDD_FIRST_DRAG', FULL, 'IDB_BG_GENERAL', [
        title(59),
        C('bitmap', 'IDC_SORT_ICON', 300, 265, 32, 32, images=('IDB_SORT_NOTICE',)),
        text('IDC_MESSAGE_TEXT', 130, 110, 480, 86, 13),
        C('check', 'IDC_SORT_ENABLE', 130, 200, 400, 16, 57, group=True),
        *forward(37),
    ]),
    ('IDD_BACKUP_MENU', FULL, 'IDB_BG_DRIVE_MANAGEMENT', [
        title(81), device(280, 92, 150, 50, 'left'),
        *item('IDC_BM_SETTINGS', 'IDC_BM_SETTINGS_LABEL', 130, 130, 160, 132, 83),
        *item('IDC_BM_RESTORE', 'IDC_BM_RESTORE_LABEL', 130, 168, 160, 170, 84),
        *item('IDC_BM_STATUS', 'IDC_BM_STATUS_LABEL', 130, 206, 160, 206, 85, lh=34),
        *item('IDC_BM_CLEAN', 'IDC_BM_CLEAN_LABEL', 130, 250, 160, 252, 149),
        *back(216),
        *push('IDC_BM_BACKUP_NOW', 'IDC_BM_BACKUP_NOW_LABEL', 478, 86),
    ]),
    ('IDD_WIZARD_FOLDERS', FULL, 'IDB_BG_GENERAL', [
        title(83), device(),
        text('IDC_INSTRUCTION', 120, 118, 490, 18, 300),
        C('tree', 'IDC_BACKUP_TREE', 120, 140, 490, 162,
          items=['My Documents', 'C:\\', '  Data', '  Projects', 'D:\\']),
        *back(4), *push('IDC_CANCEL', 'IDC_CANCEL_LABEL', 358, 93), *forward(3),
    ]),
    ('IDD_WIZARD_SCHEDULE', FULL, 'IDB_BG_GENERAL', [
        title(83), device(),
        text('IDC_INSTRUCTION', 120, 118, 490, 18, 301),
        text('IDC_SCHEDULE_DAYS_CAPTION', 130, 148, 100, 16, 305, bold=True, placeholder='Caption'),
        C('check', 'IDC_DAY_MONDAY', 130, 170, 100, 16, 96, group=True),
        C('check', 'IDC_DAY_TUESDAY', 235, 170, 100, 16, 97),
        C('check', 'IDC_DAY_WEDNESDAY', 340, 170, 110, 16, 98),
        C('check', 'IDC_DAY_THURSDAY', 455, 170, 100, 16, 99),
        C('check', 'IDC_DAY_FRIDAY', 130, 194, 100, 16, 100),
        C('check', 'IDC_DAY_SATURDAY', 235, 194, 100, 16, 101),
        C('check', 'IDC_DAY_SUNDAY', 340, 194, 110, 16, 102),
        text('IDC_SCHEDULE_TIME_CAPTION', 130, 232, 100, 16, 306, bold=True,
             placeholder='Caption'),
        C('datetime', 'IDC_SCHEDULE_TIME', 235, 228, 110, 22, group=True),
        *back(4), *push('IDC_CANCEL', 'IDC_CANCEL_LABEL', 358, 93), *forward(3),
    ]),
    ('IDD_WIZARD_SUMMARY', FULL, 'IDB_BG_GENERAL', [
        title(83), device(),
        text('IDC_SUMMARY_DEST_CAPTION', 130, 128, 115, 16, 302, bold=True, placeholder='Caption'),
        text('IDC_SUMMARY_DEST', 250, 128, 370, 32, sample='(Z:) \\\\NAS1\\Anne\\My Backup'),
        text('IDC_SUMMARY_SCHED_CAPTION', 130, 168, 115, 16, 303, bold=True,
             placeholder='Caption'),
        text('IDC_SUMMARY_SCHED', 250, 168, 370, 32, sample='Monday, Friday at 10:00 PM'),
        text('IDC_SCHEDULE_DAYS_CAPTION', 130, 212, 150, 16, 304, bold=True, placeholder='Caption'),
        C('radio', 'IDC_SUMMARY_ON', 290, 212, 95, 16, 109, group=True),
        C('radio', 'IDC_SUMMARY_OFF', 390, 212, 110, 16, 110),
        *push('IDC_EDIT', 'IDC_EDIT_LABEL', 238, 307),
        *push('IDC_ADVANCED', 'IDC_ADVANCED_LABEL', 358, 308),
        *forward(94),
    ]),
    ('IDD_ADVANCED', FULL, 'IDB_BG_GENERAL', [
        title(28),
        text('IDC_VERSIONS_CAPTION', 130, 126, 165, 16, 113, bold=True, placeholder='Caption'),
        C('combo', 'IDC_VERSIONS', 300, 122, 60, 200, group=True,
          items=[str(i) for i in range(1, 11)]),
        text('IDC_VERSIONS_NOTE', 130, 150, 480, 36, 114),
        *help_link(115, 130, 186),
        text('IDC_TAGS_CAPTION', 130, 226, 180, 16, 117, bold=True, placeholder='Caption'),
        C('radio', 'IDC_TAGS_ON', 315, 226, 95, 16, 109, group=True),
        C('radio', 'IDC_TAGS_OFF', 415, 226, 110, 16, 110),
        text('IDC_TAGS_NOTE', 130, 248, 480, 50, 116),
        *back(4), *forward(118),
    ]),
    ('IDD_RESTORE_TYPE', FULL, 'IDB_BG_GENERAL', [
        title(119),
        C('radio', 'IDC_RESTORE_VERSION', 130, 126, 460, 16, 120, group=True),
        text('IDC_RESTORE_VERSION_NOTE', 150, 146, 460, 36, 121),
        C('radio', 'IDC_RESTORE_RECENT', 130, 192, 460, 16, 122),
        text('IDC_RESTORE_RECENT_NOTE', 150, 212, 460, 42, 123),
        *help_link(132, 130, 262),
        *back(4), *forward(3),
    ]),
    ('IDD_RESTORE_FILES', FULL, 'IDB_BG_RESTORE', [
        title(84),
        *help_link(150, 430, 92, 190),
        text('IDC_SELECT_FILE', 104, 126, 250, 16, 124, bold=True, placeholder='Caption'),
        C('tree', 'IDC_FOLDER_TREE', 104, 144, 262, 122,
          items=['\\\\NAS1\\Anne', '  OFFICE1', '    C', '      report.doc']),
        text('IDC_SELECT_VERSION', 380, 126, 240, 16, 125, bold=True, placeholder='Caption'),
        C('tree', 'IDC_VERSION_TREE', 380, 144, 242, 90,
          items=['report.doc', '  3/14/2025 10:02 PM', '  3/13/2025 10:01 PM']),
        text('IDC_RESTORE_TO', 380, 240, 240, 16, 126, bold=True, placeholder='Caption'),
        C('radio', 'IDC_RESTORE_ORIGINAL', 380, 258, 110, 16, 127, group=True),
        C('radio', 'IDC_RESTORE_TEMPORARY', 490, 258, 130, 16, 128),
        text('IDC_RESTORE_TEMP_FOLDER', 380, 278, 242, 16, sample='My Documents\\TOVRestore',
             hidden=True, size=11),
        text('IDC_RESTORING', 100, 270, 200, 20, sample='Restoring file: 040%'),
        C('progress', 'IDC_RESTORE_PROGRESS', 104, 290, 262, 10),
        *back(4), *push('IDC_CANCEL', 'IDC_CANCEL_LABEL', 238, 93, disabled=True),
        *push('IDC_RESTORE', 'IDC_RESTORE_LABEL', 358, 131, disabled=True),
        *forward(209),
    ]),
    ('IDD_CHOOSE_ACCOUNT', FULL, 'IDB_BG_GENERAL', [
        title(29), device(),
        text('IDC_INSTRUCTION', 130, 116, 480, 32, 135),
        text('IDC_CHOOSE_ACCOUNT', 130, 152, 300, 16, 137, colour=BLUE, bold=True,
             placeholder='Caption'),
        text('IDC_NEW_USER', 130, 174, 300, 16, 136, bold=True, placeholder='Caption'),
        C('radio', 'IDC_ACCOUNT_PUBLIC', 150, 194, 460, 16, 138, group=True),
        C('radio', 'IDC_ACCOUNT_PRIVATE', 150, 214, 475, 16, 139),
        text('IDC_EXISTING_USER', 130, 238, 300, 16, 140, bold=True, placeholder='Caption'),
        C('radio', 'IDC_ACCOUNT_EXISTING', 150, 258, 460, 16, 141),
        *help_link(150, 130, 282),
        *back(4), *forward(3),
    ]),
    ('IDD_DRIVE_MANAGEMENT', FULL, 'IDB_BG_DRIVE_MANAGEMENT', [
        title(142), device(280, 92, 150, 50, 'left'),
        *item('IDC_DM_SORT', 'IDC_DM_SORT_LABEL', 130, 130, 160, 135, 143),
        *item('IDC_DM_WEB', 'IDC_DM_WEB_LABEL', 130, 170, 160, 175, 144),
        *item('IDC_DM_STATUS', 'IDC_DM_STATUS_LABEL', 130, 210, 160, 210, 85, 200, 40),
        *item('IDC_DM_MEDIA', 'IDC_DM_MEDIA_LABEL', 130, 250, 160, 250, 227, 300, 36),
        *back(4),
    ]),
    ('IDD_NAME_PASSWORD', FULL, 'IDB_BG_GENERAL', [
        title(29), device(),
        text('IDC_INSTRUCTION', 130, 116, 480, 32, 20),
        text('IDC_NAME_CAPTION', 130, 161, 150, 16, 30, placeholder='Caption'),
        C('edit', 'IDC_NAME', 290, 158, 200, 20, sample='Anne', group=True),
        C('list', 'IDC_ACCOUNT_LIST', 290, 158, 200, 60, hidden=True,
          items=['anne', 'bob', 'carl']),
        text('IDC_PASSWORD_CAPTION', 130, 191, 150, 16, 31, placeholder='Caption'),
        C('password', 'IDC_PASSWORD', 290, 188, 200, 20, sample='secret'),
        text('IDC_RETYPE_CAPTION', 130, 221, 150, 16, 32, placeholder='Caption'),
        C('password', 'IDC_RETYPE', 290, 218, 200, 20, sample='secret'),
        *help_link(178, 130, 258),
        *back(4), *forward(3),
    ]),
    ('IDD_CLEAN_UP', FULL, 'IDB_BG_GENERAL', [
        title(149),
        text('IDC_CLEAN_DELETE_CAPTION', 130, 122, 400, 16, 75, colour=BLUE, bold=True,
             placeholder='Caption'),
        *push('IDC_CLEAN_DELETE', 'IDC_CLEAN_DELETE_LABEL', 130, 76, y=144),
        text('IDC_CLEAN_DELETE_NOTE', 240, 142, 380, 46, 77),
        *help_link(133, 130, 190),
        text('IDC_CLEAN_SYNC_CAPTION', 130, 222, 400, 16, 78, colour=BLUE, bold=True,
             placeholder='Caption'),
        *push('IDC_CLEAN_SYNC', 'IDC_CLEAN_SYNC_LABEL', 130, 79, y=244),
        text('IDC_CLEAN_SYNC_NOTE', 240, 242, 380, 60, 80),
        *back(4),
    ]),
    ('IDD_STATUS_VIEW', FULL, 'IDB_BG_STATUS', [
        title(145), device(280, 96, 330, 18, 'right', 'NAS1 (192.168.1.20)'),
        text('IDC_MESSAGE_TEXT', 130, 200, 400, 20, 166, hidden=True),
        'GRID',
        C('icon', 'IDC_LEGEND_COMPLETE', 100, 284, 16, 16, images=('IDI_STATE_COMPLETE',)),
        text('IDC_LEGEND_COMPLETE_TEXT', 120, 285, 95, 16, 181, size=11, placeholder='Legend'),
        C('icon', 'IDC_LEGEND_INCOMPLETE', 215, 284, 16, 16, images=('IDI_STATE_INCOMPLETE',)),
        text('IDC_LEGEND_INCOMPLETE_TEXT', 235, 285, 100, 16, 182, size=11, placeholder='Legend'),
        C('icon', 'IDC_LEGEND_FAILED', 335, 284, 16, 16, images=('IDI_STATE_FAILED',)),
        text('IDC_LEGEND_FAILED_TEXT', 355, 285, 80, 16, 183, size=11, placeholder='Legend'),
        *help_link(180, 440, 281, 190, size=11),
        C('scroll', 'IDC_STATUS_SCROLL', 612, 144, 16, 108, hidden=True, gallery=True),
        *back(4),
    ]),
    ('IDD_ACCOUNT_PURPOSE', FULL, 'IDB_BG_GENERAL', [
        title(29), device(),
        text('IDC_INSTRUCTION', 130, 116, 480, 32, 167),
        text('IDC_PURPOSE_HEADING', 130, 156, 300, 16, 168, colour=BLUE, bold=True,
             placeholder='Caption'),
        C('radio', 'IDC_PURPOSE_HOME', 150, 180, 150, 16, 169, group=True),
        C('radio', 'IDC_PURPOSE_BUSINESS', 310, 180, 150, 16, 170),
        text('IDC_PURPOSE_DESCRIPTION', 130, 210, 480, 40, 171),
        *help_link(172, 130, 258),
        *back(4), *forward(94),
    ]),
    ('IDD_BACKUP_PROGRESS', FULL, 'IDB_BG_GENERAL', [
        title(134),
        text('IDC_PROGRESS_STATUS', 130, 132, 480, 18, 173, bold=True, hidden=True, gallery=True),
        text('IDC_PROGRESS_COUNTER', 130, 162, 480, 18,
             sample='Completed 128 files.  37 MB copied.', hidden=True, gallery=True),
        text('IDC_PROGRESS_FILE', 130, 192, 480, 18, sample='File:report.doc', hidden=True,
             gallery=True, align='path'),
        text('IDC_PROGRESS_FOLDER', 130, 222, 480, 18, sample='Folder:C:\\Data\\Projects',
             hidden=True, gallery=True, align='path'),
        *forward(196),
    ]),
    ('IDD_REPLACE_FILE', SMALL, 'IDB_BG_MESSAGE', [
        text('IDC_HEADING', 30, 58, 444, 20, 9, colour=BLUE, bold=True, placeholder='Title'),
        text('IDC_REPLACE_EXISTS', 30, 84, 444, 30, 192),
        text('IDC_REPLACE_QUESTION', 30, 116, 444, 16, 191),
        text('IDC_REPLACE_OLD', 50, 136, 424, 32,
             sample='Size: 2 KB\nModified: Friday, March 14, 2025, 10:02 PM'),
        text('IDC_REPLACE_WITH', 30, 172, 444, 16, 207),
        text('IDC_REPLACE_NEW', 50, 192, 424, 32,
             sample='Size: 2 KB\nModified: Thursday, March 13, 2025, 10:01 PM'),
        *push('IDC_LEFT_BUTTON', 'IDC_LEFT_LABEL', 120, 194, y=257),
        *push('IDC_RIGHT_BUTTON', 'IDC_RIGHT_LABEL', 288, 197, y=257),
    ]),
    ('IDD_PLEASE_WAIT', FULL, 'IDB_BG_GENERAL', [
        title(75),
        text('IDC_MESSAGE_TEXT', 130, 120, 480, 80, 51),
        *forward(37, disabled=True),
    ]),
]

# The control that has the focus when a screen opens, where the system's choice (the first control
# of the tab order) is not the one a user most likely wants. A screen's own start-up may move it.
FOCUS = {
    'IDD_LOCATE': 'IDC_NEXT',
    'IDD_MAIN_MENU': 'IDC_MENU_SETUP',
    'IDD_NOTE': 'IDC_NEXT',
    'IDD_SETUP_COMPLETE': 'IDC_NEXT',
    'IDD_MESSAGE': 'IDC_RIGHT_BUTTON',
    'IDD_SORT_SETTINGS': 'IDC_NEXT',
    'IDD_FIRST_DRAG': 'IDC_NEXT',
    'IDD_BACKUP_MENU': 'IDC_BM_SETTINGS',
    'IDD_WIZARD_FOLDERS': 'IDC_BACKUP_TREE',
    'IDD_WIZARD_SCHEDULE': 'IDC_DAY_MONDAY',
    'IDD_WIZARD_SUMMARY': 'IDC_NEXT',
    'IDD_ADVANCED': 'IDC_VERSIONS',
    'IDD_RESTORE_TYPE': 'IDC_NEXT',
    'IDD_RESTORE_FILES': 'IDC_FOLDER_TREE',
    'IDD_CHOOSE_ACCOUNT': 'IDC_NEXT',
    'IDD_DRIVE_MANAGEMENT': 'IDC_DM_SORT',
    'IDD_NAME_PASSWORD': 'IDC_NAME',
    'IDD_CLEAN_UP': 'IDC_CLEAN_DELETE',
    'IDD_STATUS_VIEW': 'IDC_BACK',
    'IDD_ACCOUNT_PURPOSE': 'IDC_NEXT',
    'IDD_BACKUP_PROGRESS': 'IDC_NEXT',
    'IDD_REPLACE_FILE': 'IDC_RIGHT_BUTTON',
}

GRID_X = [(100, 170), (280, 100), (390, 110), (510, 90)]
GRID_SAMPLE = [
    ['153', '154', '155', '158'],
    ['Anne', '12 MB', '03/14/2025', 'IDI_STATE_COMPLETE'],
    ['bob', '3 GB', '03/13/2025', 'IDI_STATE_INCOMPLETE'],
    ['carl', '0 MB', '03/01/2025', 'IDI_STATE_FAILED'],
    ['dave', '512 KB', '03/12/2025', 'IDI_STATE_COMPLETE'],
    ['erin', '1 GB', '03/14/2025', 'IDI_STATE_COMPLETE'],
    ['', '4 GB', 'FREE', ''],
]


def grid():
    out = []
    for r in range(7):
        for col, (x, w) in enumerate(GRID_X):
            cid = 'IDC_GRID + %d' % (r * 4 + col)
            y = 124 + 22 * r
            s = GRID_SAMPLE[r][col]
            if col == 3 and 1 <= r <= 5:
                out.append(C('icon', cid, x + 30, y, 18, 18, images=(s,)))
            elif r == 0:
                out.append(C('label', cid, x, y, w, 18, int(s), colour=BLUE, bold=True,
                             placeholder='Cell'))
            elif s == 'FREE':
                out.append(C('label', cid, x, y, 220, 18, 199, placeholder='Cell', bold=True))
            else:
                out.append(C('label', cid, x, y, w, 18, sample=s, placeholder='Cell',
                             bold=(r == 6), hidden=(r == 6 and col in (0, 3))))
    return out


def dlu(v, px, du):
    return int(round(v * du / float(px)))


def rc_string(s):
    return '"' + s.replace('\\', '\\\\').replace('"', '""') + '"'


def template(did, size, controls):
    dw, dh, pw, ph = size
    lines = ['%s DIALOGEX 0, 0, %d, %d' % (did, dw, dh),
             'STYLE DS_SETFONT | WS_POPUP',
             'FONT 8, "Verdana", 0, 0, 0x0',
             'BEGIN']
    for c in controls:
        x, y = dlu(c.x, pw, dw), dlu(c.y, ph, dh)
        w, h = max(1, dlu(c.w, pw, dw)), max(1, dlu(c.h, ph, dh))
        vis = '' if c.hidden else ' | WS_VISIBLE'
        dis = ' | WS_DISABLED' if c.disabled else ''
        grp = ' | WS_GROUP' if c.group else ''
        ph_text = rc_string(c.placeholder or '')
        k = c.kind
        if k in ('label', 'link'):
            align = {'left': 'SS_LEFT', 'center': 'SS_CENTER', 'right': 'SS_RIGHT',
                     'path': 'SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX'}[c.align]
            extra = ' | SS_NOTIFY' if k == 'link' else ''
            control_line = (ph_text, c.cid, '"Static"', align + extra + ' | WS_CHILD' + vis + dis)
        elif k == 'button':
            control_line = ('""', c.cid, '"Button"', 'BS_OWNERDRAW | WS_CHILD | WS_TABSTOP' + vis + dis)
        elif k == 'radio':
            control_line = ('"Option"', c.cid, '"Button"',
                    'BS_AUTORADIOBUTTON | WS_CHILD | WS_TABSTOP' + grp + vis + dis)
        elif k == 'check':
            control_line = ('"Option"', c.cid, '"Button"',
                    'BS_AUTOCHECKBOX | WS_CHILD | WS_TABSTOP' + grp + vis + dis)
        elif k in ('edit', 'password'):
            pw_style = ' | ES_PASSWORD' if k == 'password' else ''
            control_line = ('""', c.cid, '"Edit"', 'ES_AUTOHSCROLL | WS_BORDER | WS_CHILD | WS_TABSTOP'
                    + pw_style + grp + vis + dis)
        elif k == 'list':
            control_line = ('""', c.cid, '"ListBox"',
                    'LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_CHILD | WS_TABSTOP'
                    + grp + vis + dis)
        elif k == 'combo':
            control_line = ('""', c.cid, '"ComboBox"',
                    'CBS_DROPDOWNLIST | WS_VSCROLL | WS_CHILD | WS_TABSTOP' + grp + vis + dis)
        elif k == 'progress':
            control_line = ('""', c.cid, '"msctls_progress32"', 'WS_CHILD' + vis + dis)
        elif k == 'tree':
            control_line = ('""', c.cid, '"SysTreeView32"',
                    'TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS'
                    ' | WS_BORDER | WS_CHILD | WS_TABSTOP' + vis + dis)
        elif k == 'datetime':
            control_line = ('""', c.cid, '"SysDateTimePick32"',
                    'DTS_UPDOWN | DTS_TIMEFORMAT | WS_CHILD | WS_TABSTOP' + grp + vis + dis)
        elif k == 'icon':
            control_line = (c.images[0], c.cid, '"Static"', 'SS_ICON | WS_CHILD' + vis)
        elif k == 'bitmap':
            control_line = (c.images[0], c.cid, '"Static"', 'SS_BITMAP | WS_CHILD' + vis)
        elif k == 'scroll':
            control_line = ('""', c.cid, '"Static"', 'SS_LEFT | WS_CHILD' + vis)
        else:
            raise ValueError(k)
        lines.append('    CONTROL %s, %s, %s, %s, %d, %d, %d, %d' % (control_line + (x, y, w, h)))
    # the title-bar buttons of every screen, moved by the common screen code to its corner
    # (last in the tab order, so that Tab reaches them after the screen's own controls)
    lines.append('    CONTROL "", IDC_MINIMIZE, "Button", BS_OWNERDRAW | WS_CHILD | WS_VISIBLE'
                 ' | WS_TABSTOP, %d, 5, 9, 10' % dlu(pw - 50, pw, dw))
    lines.append('    CONTROL "", IDC_CLOSE, "Button", BS_OWNERDRAW | WS_CHILD | WS_VISIBLE'
                 ' | WS_TABSTOP, %d, 5, 9, 10' % dlu(pw - 30, pw, dw))
    lines.append('END')
    return '\n'.join(lines)


def cpp_string(s):
    if s is None:
        return 'nullptr'
    return '"' + s.replace('\\', '\\\\').replace('"', '\\"').replace('\n', '\\n') + '"'


KIND = {'label': 'L', 'link': 'K', 'button': 'B', 'radio': 'R', 'check': 'C', 'edit': 'E',
        'password': 'P', 'list': 'S', 'combo': 'O', 'progress': 'G', 'tree': 'T',
        'datetime': 'D', 'icon': 'I', 'bitmap': 'M', 'scroll': 'V'}


def layout_entry(c):
    images = list(c.images or ()) + ['0'] * 4
    if c.kind in ('icon', 'bitmap'):
        images = [c.images[0], '0', '0', '0']
    align = {'left': 0, 'center': 1, 'right': 2, 'path': 0}[c.align]
    return ('{%s, \'%s\', %d, %d, %d, %d, %d, %s, %s, %d, %s, %s, %s, %s, %s, %s, %d}'
            % (c.cid, KIND[c.kind], c.x, c.y, c.w, c.h, c.sid, c.colour,
               'true' if c.bold else 'false', c.size, 'true' if c.underline else 'false',
               images[0], images[1], images[2], images[3], c.label or '0', align))


def sample_entry(did, c):
    sample = c.sample
    if c.items:
        sample = '|'.join(c.items)
    show = c.gallery if c.gallery is not None else not c.hidden
    return '{%s, %s, %s, %s}' % (did, c.cid, cpp_string(sample), 'true' if show else 'false')


def main():
    rc = ['// Generated by res/dialogs/make_dialogs.py: the dialog templates of every screen.']
    inc = ['// Generated by res/dialogs/make_dialogs.py: where every screen places its controls.']
    samples = ['// Generated by res/dialogs/make_dialogs.py: the gallery\'s sample texts.',
               'const GallerySample kGallerySamples[] = {']
    names = []
    for did, size, bg, controls in SCREENS:
        flat = []
        for c in controls:
            if c == 'GRID':
                flat.extend(grid())
            else:
                flat.append(c)
        rc.append(template(did, size, flat))
        rc.append('')
        name = 'k' + did.replace('IDD_', '').title().replace('_', '')
        inc.append('const ControlLayout %s[] = {' % name)
        for c in flat:
            inc.append('    ' + layout_entry(c) + ',')
            samples.append('    ' + sample_entry(did, c) + ',')
        inc.append('};')
        focus = FOCUS.get(did, '0')
        if focus != '0' and focus not in [c.cid for c in flat]:
            raise ValueError('%s: no control %s to focus' % (did, focus))
        names.append((did, bg, name, focus))
    inc.append('const ScreenLayout kScreenLayouts[] = {')
    for did, bg, name, focus in names:
        inc.append('    {%s, %s, %s, sizeof %s / sizeof %s[0], %s},'
                   % (did, bg, name, name, name, focus))
    inc.append('};')
    samples.append('};')
    for path, lines in zip(sys.argv[1:4], (rc, inc, samples)):
        with open(path, 'w') as f:
            f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
