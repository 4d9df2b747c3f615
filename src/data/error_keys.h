// Every message the core can report, by its key, with the English text.
//
// The windows show a core error through the language file's "Errors" section, so each key
// here needs a text in every language file. Throwing code names its message with
// CoreError("Key"), which stops the build for a key that is not listed; the language tests
// compare this list with the language files, so a new message cannot reach a window
// untranslated. One key, one text: a message worded differently gets its own key, since a
// translation can only follow one wording.
#pragma once

#include <string_view>

namespace yorbel::data {

struct ErrorText {
    std::string_view key;
    std::string_view english;  // %1, %2, ... stand for the arguments
};

inline constexpr ErrorText kCoreErrors[] = {
    // Table files.
    {"FileNotFound", "The file %1 does not exist. Check its name and folder."},
    {"NotTableFile",
     "The file %1 is not a Yorbel table file. Choose a calendar file (.yrb), or use File › Import "
     "for a text file."},
    {"TableFileTooNew",
     "The file %1 was written by a newer version of Yorbel (format %2). Open it with that version, "
     "or install it."},
    {"TableFileMismatch",
     "The file %1 does not hold a table of this kind (box %2). Check that you chose the right "
     "file."},
    {"TableFileDamaged",
     "The table file %1 is damaged: %2. Open a backup copy of the file instead."},
    {"TableFileBadValue",
     "The table file %1 is damaged: it holds a value that does not fit its box. Open a backup copy "
     "of "
     "the file instead."},
    {"TableFileError",
     "The file %1 cannot be used: %2. Check that the file is in place and readable, then try "
     "again."},
    {"FileWriteError",
     "The file %1 cannot be written: %2. Check that the folder exists and the disk has room, or "
     "save under another name."},
    {"FileIsFolder", "The file %1 cannot be written: it is a folder. Choose a file name."},
    {"FileReadOnly",
     "The file %1 is write-protected and was not changed. Save under another name, or remove the "
     "write protection."},
    {"NotAFile",
     "%1 is not a file that can be read: it is a folder, a named pipe or a device. Choose a file."},
    {"FileCannotRead",
     "The file %1 cannot be read: %2. Check that you may read it, then try again."},
    {"TableFileIncomplete",
     "The table file %1 is incomplete or damaged: its length (%2 bytes) does not match its pages "
     "(%3 bytes). Open a backup copy of the file instead."},
    {"TableFilePendingChanges",
     "The file %1 has unfinished changes of another program in %2. Let that program finish, "
     "or open the file once with an SQLite tool to complete them, or delete %2 to discard "
     "them; then open the file again"},
    {"TableFileFieldTwice",
     "The file %1 names field %2 twice. Open a backup copy of the file instead."},
    {"TableFileNumberTwice",
     "The file %1 gives two rows the number %3 (box %2). Open a backup copy of the file instead."},
    // Lock files of calendars; %3 to %6 name the holder: program, process, user, host.
    {"CalendarLocked",
     "The calendar %1 is open for writing elsewhere: its lock file %2 is held by %3 (process %4 of "
     "user %5 on %6). Close it there and try again."},
    {"CalendarLockedUnknown",
     "The calendar %1 is open for writing elsewhere, or a program did not close it properly: its "
     "lock file %2 names no owner that could be checked. Delete the lock file only if no program "
     "has the calendar open"},
    {"LockCannotBeCreated",
     "The lock file %1 cannot be created: %2. Check that you may write in the calendar's folder, "
     "then try again."},
    {"LockTakenOver",
     "The calendar %1 was still locked by %3 (process %4 of user %5 on %6), which no longer "
     "runs; its lock file %2 was taken over"},
    {"LockWaiting",
     "Waiting for the calendar %1: its lock file %2 is held by %3 (process %4 of user %5 on %6)"},
    // Tables.
    {"BadFieldDefinition",
     "Field %2 of %1 is not defined correctly: %3. Please report this fault to the makers of "
     "Yorbel."},
    {"FieldNumberNotFound",
     "%1 has no field number %2. Please report this fault to the makers of Yorbel."},
    {"FieldNotFound", "%1 has no field %2. Please report this fault to the makers of Yorbel."},
    {"KeyViolation", "%1: there is already one with %2 %3. Choose another value for %2."},
    {"BadIndexName",
     "%1 cannot get the index %2: the name is empty or used. Please report this fault to the "
     "makers of Yorbel."},
    {"IndexWithoutFields",
     "Index %2 of %1 names no fields. Please report this fault to the makers of Yorbel."},
    {"IndexOnUnstoredField",
     "Field %2 of %1 is not stored and cannot be indexed. Please report this fault to the makers "
     "of Yorbel."},
    {"IndexNotFound", "%1 has no index %2. Please report this fault to the makers of Yorbel."},
    {"NoCurrentIndex",
     "%1 has no current index to search. Please report this fault to the makers of Yorbel."},
    {"BadKey",
     "A search key of index %2 of %1 has 1 to %3 values. Please report this fault to the makers of "
     "Yorbel."},
    {"KeyKindMismatch",
     "Field %2 of %1 cannot hold a value of this kind. Please report this fault to the makers of "
     "Yorbel."},
    {"RowOutOfRange",
     "%1 has no row at position %2. Please report this fault to the makers of Yorbel."},
    {"NoCurrentRow", "%1 has no current row. Please report this fault to the makers of Yorbel."},
    {"NotEditing",
     "%1 is not editing a row; field %2 cannot be changed. Please report this fault to the makers "
     "of Yorbel."},
    {"FieldRequired",
     "The box %2 of the %1 is empty but needs a value. Fill it in; when a file is named, open a "
     "backup copy of it instead."},
    {"FieldReadOnly",
     "Field %2 of %1 cannot be changed. Please report this fault to the makers of Yorbel."},
    {"FieldIsNull", "Field %2 of %1 is empty. Please report this fault to the makers of Yorbel."},
    {"FieldKindMismatch",
     "Field %2 of %1 holds a %3, not this value. Please report this fault to the makers of "
     "Yorbel."},
    {"FieldNotANumber",
     "Field %2 of %1 holds a %3, not a number. Please report this fault to the makers of Yorbel."},
    {"FieldNotATruthValue",
     "Field %2 of %1 holds a %3, not a truth value. Please report this fault to the makers of "
     "Yorbel."},
    {"TextTooLong",
     "The text for the box %2 of the %1 is longer than %3 characters: %4. Shorten it to %3 "
     "characters."},
    {"TextNotUtf8",
     "The text for the box %2 of the %1 is not valid UTF-8. Save the file as UTF-8 text and try "
     "again."},
    {"TextControlCharacter",
     "The text for the box %2 of the %1 holds a control character such as a line break or a tab. "
     "Remove it and try again."},
    {"AutoIncrementExhausted",
     "%1 has no numbers left for field %2. Save the calendar under a new name, close it and open "
     "it again."},
    // The group file; the last argument is the reason it could not be read, which names
    // the file.
    {"GroupFileUnreadable",
     "%2. The group file was left as it is and the groups start empty. Make it readable again, or "
     "create your groups anew under Tools › Options."},
    {"GroupFileMovedAside",
     "%3. The group file was kept as %2 and the groups start empty. Create your groups anew under "
     "Tools › Options."},
    {"GroupFileShippedUsed",
     "%3. The group file was left as it is; the shipped groups of %2 are used instead. Make it "
     "readable again to get your own groups back."},
    {"GroupSeedUnreadable",
     "%3. The groups of %2 stay as they are, without the new shipped groups. Install Yorbel "
     "again to repair the shipped file."},
    {"GroupsShippedAdded", "New shipped groups were added to the group file %1: %2"},
    {"GroupsShippedAddedNamesTaken",
     "New shipped groups were added to the group file %1: %2. Not added, because the file "
     "already has groups of these names: %3. Rename your group under Tools › Options to get "
     "the shipped one."},
    {"GroupsShippedNamesTaken",
     "The new shipped groups %2 were not added to the group file %1, because it already has "
     "groups of these names. Rename your group under Tools › Options to get the shipped one."},
    // Event rules.
    {"RuleNotNumber", "Not a number: %1"},
    {"RuleBadDate", "Not a date of the form yyyymmdd: %1"},
    {"RuleBadCode", "A weekday, count, month or day is out of range: %1"},
    {"RuleBadRepeat", "Unknown repeat code: %1"},
    // The day calculator.
    {"CountBadDate", "The date %1 does not exist in the chosen calendar. Choose a date that does."},
    {"CountFromAfterTo", "The first day %1 lies after the last day %2. Swap the two dates."},
    // Import and export of delimited text.
    {"ImportTooManyColumns",
     "The line has %1 columns, but an event has only %2. Separate the columns with commas and "
     "enclose a value holding a comma in double quotes."},
    {"ImportTooFewColumns",
     "The line needs at least %2 columns, but has only %1. Give each event its name, kind, repeat "
     "and date, separated by commas."},
    {"ImportLineBreak", "The value holds a line break. Remove it and import again."},
    {"ImportNotANumber",
     "\"%1\" is not a whole number. Write the column as digits and import again."},
    {"ImportNotATruthValue",
     "\"%1\" is neither True nor False. Write True or False and import again."},
    // Import of iCalendar files; %1 is the event's UID, %2 its summary.
    {"IcsNotICalendar",
     "The file is not an iCalendar file: it does not begin with BEGIN:VCALENDAR. Choose an .ics "
     "file, or a delimited-text file for the text import."},
    {"IcsIncomplete",
     "The iCalendar file is incomplete or damaged: the calendar that begins here does not end. "
     "Fetch the file again and import it anew."},
    {"IcsDamaged",
     "The iCalendar file is damaged: %1 events begin in it, but only %2 can be read; nothing was "
     "imported. Fetch the file again and import it anew."},
    {"IcsEventNoDate",
     "The event %1 (%2) has no usable start date; nothing of it was imported. Enter it with New "
     "Event if you need it."},
    {"IcsEventExpanded",
     "The event %1 (%2) repeats in a way no rule of Yorbel expresses; it was added as %3 single "
     "days or periods from %4 to %5"},
    {"IcsEventNoDatesInSpan",
     "The event %1 (%2) repeats in a way no rule of Yorbel expresses and has no days from %3 to "
     "%4; nothing of it was imported"},
    {"IcsEventExpansionCut",
     "The event %1 (%2) repeats too often to be expanded whole; only its days up to %3 were added"},
    {"IcsNameShortened",
     "The name of the event %1 is longer than %2 characters and was shortened to \"%3\""},
    {"IcsEventNotStored", "The event %1 (%2) was not imported: %3"},
    {"IcsSummary",
     "%1 events read: %2 taken over as rules, %3 expanded into %4 single days or periods, %5 not "
     "imported. %6 events were added to the calendar"},
    {"ExportCannotCreate",
     "The file %1 cannot be created: %2. Check that the folder exists and you may write in it, or "
     "choose another name."},
    {"ExportCannotWrite",
     "The file %1 cannot be written: %2. Check that the disk has room, or choose another folder."},
};

// The listed message for key; a key that is not listed is not a constant expression, so
// the build stops there.
consteval ErrorText CoreError(std::string_view key) {
    for (const ErrorText& e : kCoreErrors) {
        if (e.key == key) return e;
    }
    throw "CoreError: the key is not in kCoreErrors";
}

}  // namespace yorbel::data
