#pragma once

#include "store/ledgerentries.h"

#include <QtGlobal>
#include <array>

// What the entry window knows about each of its four pick lists, in window order.
struct PickListDesign
{
    const char* label;               // the caption above the list, also naming its "+" and "-" buttons
    const char16_t* key;             // the settings key that stores the list: its control's name
    const char16_t* defaults;        // the stored text used while the key is missing
    const char* prompt;              // the "+" button's question
    const char* title;               // the "+" button's box title
    EntryField field;                // the entry's field the list chooses
    const char16_t* addProcedure;    // the "+" button's procedure, as error reports name it
    const char16_t* removeProcedure; // the "-" button's
};

inline constexpr std::array<PickListDesign, 4> pickListDesign = {{
    {QT_TRANSLATE_NOOP("Form2", "Reason"), u"Combo1", u"Electric|Gig|Guitar Lesson|Guitar Teaching|Job|Rent|Water Bill",
     QT_TRANSLATE_NOOP("Form2", "Enter new Reason: "), QT_TRANSLATE_NOOP("Form2", "Input Reason"), EntryField::Reason,
     u"PushButton3_Click", u"PushButton4_Click"},
    {QT_TRANSLATE_NOOP("Form2", "From (Payor)"), u"Combo2", u"Marrowfen|Tobren",
     QT_TRANSLATE_NOOP("Form2", "Enter new From (Payor): "), QT_TRANSLATE_NOOP("Form2", "Input From"),
     EntryField::FromCompany, u"PushButton5_Click", u"PushButton6_Click"},
    {QT_TRANSLATE_NOOP("Form2", "To (Payee)"), u"Combo3", u"Marrowfen|Tobren",
     QT_TRANSLATE_NOOP("Form2", "Enter new To (Payee): "), QT_TRANSLATE_NOOP("Form2", "Input To"),
     EntryField::ToCompany, u"PushButton7_Click", u"PushButton8_Click"},
    {QT_TRANSLATE_NOOP("Form2", "Payment Method"), u"Combo4", u"Cash|Cheque|Transfer",
     QT_TRANSLATE_NOOP("Form2", "Enter new Payment Method: "), QT_TRANSLATE_NOOP("Form2", "Input Payment Method"),
     EntryField::PaymentMethod, u"PushButton9_Click", u"PushButton10_Click"},
}};
