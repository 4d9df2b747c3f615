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
    {"FileNotFound", "The file %1 does not exist"},
    {"NotTableFile", "The file %1 is not a Yorbel table file"},
    {"TableFileTooNew", "The file %1 was written by a newer version of Yorbel (format %2)"},
    {"TableFileMismatch", "The file %1 does not hold a table of this kind (field %2)"},
    {"TableFileDamaged", "The table file %1 is damaged: %2"},
    {"TableFileError", "The file %1 cannot be used: %2"},
    {"FileWriteError", "The file %1 cannot be written: %2"},
    {"FileIsFolder", "The file %1 cannot be written: it is a folder"},
    {"FileReadOnly", "The file %1 is write-protected and was not changed"},
    {"NotAFile", "%1 is not a file that can be read: it is a folder, a named pipe or a device"},
    {"FileCannotRead", "The file %1 cannot be read: %2"},
    {"TableFileIncomplete",
     "The table file %1 is incomplete or damaged: its length (%2 bytes) does not match its "
     "pages (%3 bytes)"},
    {"TableFilePendingChanges",
     "The file %1 has unfinished changes of another program in %2. Let that program finish, "
     "or open the file once with an SQLite tool to complete them, or delete %2 to discard "
     "them; then open the file again"},
    {"TableFileFieldTwice", "The file %1 names field %2 twice"},
    {"TableFileNumberTwice", "The file %1 gives two rows the number %3 (field %2)"},
    // Lock files of calendars; %3 to %6 name the holder: program, process, user, host.
    {"CalendarLocked",
     "The calendar %1 is open for writing elsewhere: its lock file %2 is held by %3 (process %4 of "
     "user %5 on %6)"},
    {"CalendarLockedUnknown",
     "The calendar %1 is open for writing elsewhere, or a program did not close it properly: its "
     "lock file %2 names no owner that could be checked. Delete the lock file only if no program "
     "has the calendar open"},
    {"LockCannotBeCreated", "The lock file %1 cannot be created: %2"},
    {"LockTakenOver",
     "The calendar %1 was still locked by %3 (process %4 of user %5 on %6), which no longer "
     "runs; its lock file %2 was taken over"},
    {"LockWaiting",
     "Waiting for the calendar %1: its lock file %2 is held by %3 (process %4 of user %5 on %6)"},
    // Tables.
    {"BadFieldDefinition", "Field %2 of table %1 is not defined correctly: %3"},
    {"FieldNumberNotFound", "Table %1 has no field number %2"},
    {"FieldNotFound", "Table %1 has no field %2"},
    {"KeyViolation", "Table %1 already has a row with %2 = %3 (index %4)"},
    {"BadIndexName", "Table %1 cannot get the index %2: the name is empty or used"},
    {"IndexWithoutFields", "Index %2 of table %1 names no fields"},
    {"IndexOnUnstoredField", "Field %2 of table %1 is not stored and cannot be indexed"},
    {"IndexNotFound", "Table %1 has no index %2"},
    {"NoCurrentIndex", "Table %1 has no current index to search"},
    {"BadKey", "A search key of index %2 of table %1 has 1 to %3 values"},
    {"KeyKindMismatch", "Field %2 of table %1 cannot hold a value of this kind"},
    {"RowOutOfRange", "Table %1 has no row at position %2"},
    {"NoCurrentRow", "Table %1 has no current row"},
    {"NotEditing", "Table %1 is not editing a row; field %2 cannot be changed"},
    {"FieldRequired", "Field %2 of table %1 needs a value"},
    {"FieldReadOnly", "Field %2 of table %1 cannot be changed"},
    {"FieldIsNull", "Field %2 of table %1 is empty"},
    {"FieldKindMismatch", "Field %2 of table %1 holds a %3, not this value"},
    {"FieldNotANumber", "Field %2 of table %1 holds a %3, not a number"},
    {"FieldNotATruthValue", "Field %2 of table %1 holds a %3, not a truth value"},
    {"TextTooLong", "The text for field %2 of table %1 is longer than %3 characters: %4"},
    {"TextNotUtf8", "The text for field %2 of table %1 is not valid UTF-8"},
    {"TextControlCharacter",
     "The text for field %2 of table %1 holds a control character such as a line break or a tab"},
    {"AutoIncrementExhausted", "Table %1 has no numbers left for field %2"},
    // The group file.
    {"GroupFileUnreadable",
     "The group file %1 cannot be read and was left as it is; the groups start empty. %2"},
    {"GroupFileMovedAside",
     "The group file %1 cannot be read; it was kept as %2 and the groups start empty. %3"},
    {"GroupFileShippedUsed",
     "The group file %1 cannot be read and was left as it is; the shipped groups of %2 are "
     "used instead. %3"},
    {"GroupSeedUnreadable",
     "The shipped group file %1 cannot be read; the groups of %2 stay as they are, without "
     "new shipped groups. %3"},
    {"GroupsShippedAdded", "New shipped groups were added to the group file %1: %2"},
    {"GroupsShippedAddedNamesTaken",
     "New shipped groups were added to the group file %1: %2. Not added, because the file "
     "already has groups of these names: %3"},
    {"GroupsShippedNamesTaken",
     "The new shipped groups %2 were not added to the group file %1, because it already has "
     "groups of these names."},
    // Event rules.
    {"RuleNotNumber", "Not a number: %1"},
    {"RuleBadDate", "Not a date of the form yyyymmdd: %1"},
    {"RuleBadCode", "A weekday, count, month or day is out of range: %1"},
    {"RuleBadRepeat", "Unknown repeat code: %1"},
    // The day calculator.
    {"CountBadDate", "The date %1 does not exist in the chosen calendar"},
    {"CountFromAfterTo", "The first day %1 lies after the last day %2"},
    // Import and export of delimited text.
    {"ImportTooManyColumns", "The line has %1 columns, but the table has only %2 fields"},
    {"ImportTooFewColumns", "The line needs at least %2 columns, but has only %1"},
    {"ImportLineBreak", "The value holds a line break"},
    {"ImportNotANumber", "\"%1\" is not a whole number"},
    {"ImportNotATruthValue", "\"%1\" is neither True nor False"},
    // Import of iCalendar files; %1 is the event's UID, %2 its summary.
    {"IcsNotICalendar",
     "The file is not an iCalendar file: it does not begin with BEGIN:VCALENDAR"},
    {"IcsIncomplete",
     "The iCalendar file is incomplete or damaged: the calendar that begins here does not end"},
    {"IcsDamaged",
     "The iCalendar file is damaged: %1 events begin in it, but only %2 can be read; nothing "
     "was imported"},
    {"IcsEventNoDate", "The event %1 (%2) has no usable start date; nothing of it was imported"},
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
    {"ExportCannotCreate", "The file %1 cannot be created: %2"},
    {"ExportCannotWrite", "The file %1 cannot be written: %2"},
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
