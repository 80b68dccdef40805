#pragma once

#include "service/jobs/NameTable.h"

// What a job does at the register.
enum class JobKind {
    Receipt,
    DailyReport,
    PeriodicReport,
    ReadClock,
    SetClock,
    ReadHeader,
    SetHeader,
    ReadArticles,
    ImportArticles,
    Raw,
    SnapshotReport,
    ReadTotalizers,
    ReadTaxRates,
    CancelReceipt,
    ShowDisplay,
    ClearDisplay,
    InfoPrint,
};

inline constexpr NameTable<JobKind, 17> kJobKindNames{{{
    {JobKind::Receipt, "receipt"},
    {JobKind::DailyReport, "dailyReport"},
    {JobKind::PeriodicReport, "periodicReport"},
    {JobKind::ReadClock, "readClock"},
    {JobKind::SetClock, "setClock"},
    {JobKind::ReadHeader, "readHeader"},
    {JobKind::SetHeader, "setHeader"},
    {JobKind::ReadArticles, "readArticles"},
    {JobKind::ImportArticles, "importArticles"},
    {JobKind::Raw, "raw"},
    {JobKind::SnapshotReport, "snapshotReport"},
    {JobKind::ReadTotalizers, "readTotalizers"},
    {JobKind::ReadTaxRates, "readTaxRates"},
    {JobKind::CancelReceipt, "cancelReceipt"},
    {JobKind::ShowDisplay, "showDisplay"},
    {JobKind::ClearDisplay, "clearDisplay"},
    {JobKind::InfoPrint, "infoPrint"},
}}};

// Prints something fiscal (a receipt, a report): never repeated on its own,
// settled from the register when its answer is lost, and says its outcome.
constexpr bool IsFiscal(JobKind kind)
{
    return kind == JobKind::Receipt || kind == JobKind::DailyReport || kind == JobKind::PeriodicReport ||
           kind == JobKind::SnapshotReport;
}
