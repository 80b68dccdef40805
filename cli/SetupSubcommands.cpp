#include "cli/SetupSubcommands.h"

#include "cli/ArticleSubcommands.h"
#include "cli/CliSession.h"
#include "cli/SetupFile.h"
#include "ecr/commands/ECROperations.h"
#include "ecr/files/SafeFileWrite.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

// One write of a restore, as it is announced: "write the header".
struct Step {
    std::string verb;  // "write", "switch", "delete"
    std::string what;  // "the header", "article "Sok"", "logo printing on"

    std::string Planned() const { return "would " + verb + " " + what; }
    std::string Done() const
    {
        const std::string past = verb == "write" ? "wrote" : verb == "switch" ? "switched" : verb + "d";
        return past + " " + what;
    }
};

Step StepOf(const SetupDiff::Difference& d, const RegisterSetup& file)
{
    using Area = SetupDiff::Area;
    switch (d.area) {
    case Area::Header: return {"write", "the header"};
    case Area::Advert: return {"write", "the advertising text"};
    case Area::AdvertSwitch: return {"switch", std::string("advert printing ") + (file.advertEnabled ? "on" : "off")};
    case Area::LogoSwitch: return {"switch", std::string("logo printing ") + (file.logoEnabled ? "on" : "off")};
    case Area::TaxRates: return {"write", "the tax rates"};
    case Area::Article: return {d.InFile() ? "write" : "delete", d.item};
    }
    return {};
}

JsonValue DifferenceJson(const SetupDiff::Difference& d)
{
    JsonValue item = JsonValue::Object();
    item.Set("item", d.item);
    item.Set("register", d.onRegister);
    item.Set("file", d.inFile);
    return item;
}

// Lists differences as lines and as a JSON array under key.
void Show(CliOutput& output, const std::vector<SetupDiff::Difference>& differences, const char* key,
          const std::string& prefix = "")
{
    JsonValue& json = output.Result().Set(key, JsonValue::Array());
    for (const SetupDiff::Difference& d : differences) {
        output.Line(prefix + d.Describe());
        json.Push(DifferenceJson(d));
    }
}

}  // namespace

void SetupSubcommands::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* backup = app.add_subcommand("backup",
                                          "Save the register's programming (header, tax rates, advertising "
                                          "text, printing switches, articles) to a file");
    backup->add_option("FILE", m_path, "the backup file (UTF-8 JSON)")->required();
    OnChosen(backup, chosen,
             CliAction(ChecksOutputFile(m_path), [this](CliSession& s) { Backup(s); }));

    CLI::App* diff = app.add_subcommand("diff", "Show what on the register differs from a backup (exit 1 if anything)");
    diff->add_option("FILE", m_path, "the backup file")->required();
    OnChosen(diff, chosen, CliAction([this] { ReadFile(); }, [this](CliSession& s) { Diff(s); }));

    CLI::App* restore = app.add_subcommand(
        "restore", "Write what differs from a backup to the register (never anything fiscal), then compare again");
    restore->add_option("FILE", m_path, "the backup file")->required();
    restore->add_flag("--dry-run", m_dryRun, "only say what would be written; send no write");
    restore->add_flag("--delete-extra", m_deleteExtra, "delete the register's articles that the file does not hold");
    restore->add_flag("--tax-rates", m_taxRates, "also write the tax rates (a fiscal matter on a real register)");
    OnChosen(restore, chosen, CliAction([this] { ReadFile(); }, [this](CliSession& s) { Restore(s); }));
}

RegisterSetup SetupSubcommands::ReadSetup(CliSession& s)
{
    RegisterSetup setup;
    ECRDevice& device = s.Device();
    s.Checked([&] { device.ReadHeader(setup.headerLines, setup.headerDouble); });
    s.Checked([&] { device.ReadTaxRates(setup.taxRates); });
    s.Checked([&] { device.ReadAdvertText(setup.advertLines, setup.advertDouble); });
    setup.advertEnabled = s.Checked([&] { return device.ReadAdvertEnabled(); });
    setup.logoEnabled = s.Checked([&] { return device.ReadLogoEnabled(); });

    std::int32_t code = 0;
    const ECRArticleCommands::ArticleWalk walk = ArticleSubcommands::ReadTable(s, code);
    // Left whole, or empty for a register with no articles.
    ArticleSubcommands::ThrowIfIncomplete(walk, code);
    setup.articles.assign(device.Articles().begin(), device.Articles().end());
    std::sort(setup.articles.begin(), setup.articles.end(), [](const ECRArticle& a, const ECRArticle& b) {
        return std::string_view(a.name.Data(), a.name.Length()) < std::string_view(b.name.Data(), b.name.Length());
    });
    return setup;
}

void SetupSubcommands::ReadFile()
{
    std::string error;
    if (!SetupFile::Read(m_path, m_file, error))
        throw CliFailure(CliFailure::kBadInput, error);
}

void SetupSubcommands::Backup(CliSession& s) const
{
    const RegisterSetup setup = ReadSetup(s);
    FileFault fault;
    if (!SafeFileWrite::Write(m_path, SetupFile::Write(setup), fault))
        throw CliFailure::BadInput(fault);
    s.Output().Line("backup with " + std::to_string(setup.articles.size()) + " articles written to " + m_path);
    s.Output().Result().Set("file", m_path);
    s.Output().Result().Set("articles", setup.articles.size());
}

void SetupSubcommands::Diff(CliSession& s) const
{
    const std::vector<SetupDiff::Difference> differences = SetupDiff::Compare(ReadSetup(s), m_file);
    Show(s.Output(), differences, "differences");
    s.Output().Result().Set("count", differences.size());
    // As diff does: 1 when anything differs.
    if (!differences.empty())
        throw CliFailure(CliFailure::kRefused, std::to_string(differences.size()) + " item(s) differ from " + m_path);
}

bool SetupSubcommands::Left(const SetupDiff::Difference& d) const
{
    if (d.area == SetupDiff::Area::TaxRates)
        return !m_taxRates;
    return d.area == SetupDiff::Area::Article && !d.InFile() && !m_deleteExtra;
}

void SetupSubcommands::Write(CliSession& s, const SetupDiff::Difference& d) const
{
    ECRDevice& device = s.Device();
    switch (d.area) {
    case SetupDiff::Area::Header:
        s.Checked([&] { device.WriteHeader(m_file.headerLines, m_file.headerDouble); });
        break;
    case SetupDiff::Area::Advert:
        s.Checked([&] { device.WriteAdvertText(m_file.advertLines, m_file.advertDouble); });
        break;
    case SetupDiff::Area::AdvertSwitch: s.Checked([&] { device.SetAdvertEnabled(m_file.advertEnabled); }); break;
    case SetupDiff::Area::LogoSwitch: s.Checked([&] { device.SetLogoEnabled(m_file.logoEnabled); }); break;
    case SetupDiff::Area::TaxRates: s.Checked([&] { ECROperations::WriteTaxRatesNow(device, m_file.taxRates); }); break;
    case SetupDiff::Area::Article:
        if (d.InFile())
            s.Checked([&] { device.WriteArticle(d.article); });
        else
            s.Checked([&] { device.DeleteArticle(d.article.name); });
        break;
    }
}

void SetupSubcommands::Restore(CliSession& s) const
{
    const std::vector<SetupDiff::Difference> differences = SetupDiff::Compare(ReadSetup(s), m_file);
    CliOutput& output = s.Output();
    output.Result().Set("dryRun", m_dryRun);

    // Deletions first, so that a full table has room for the new articles.
    std::vector<const SetupDiff::Difference*> writes;
    std::vector<SetupDiff::Difference> left;
    for (const SetupDiff::Difference& d : differences) {
        if (Left(d))
            left.push_back(d);
        else
            writes.push_back(&d);
    }
    std::stable_partition(writes.begin(), writes.end(), [](const SetupDiff::Difference* d) {
        return d->area != SetupDiff::Area::Article || !d->InFile();
    });
    std::size_t articleWrites = 0;
    for (const SetupDiff::Difference* d : writes)
        articleWrites += d->area == SetupDiff::Area::Article ? 1 : 0;

    // A header or the advertising text is written whole, once for all its lines.
    JsonValue& steps = output.Result().Set("steps", JsonValue::Array());
    std::set<SetupDiff::Area> written;
    std::size_t articlesDone = 0;
    for (const SetupDiff::Difference* d : writes) {
        if (d->area != SetupDiff::Area::Article && !written.insert(d->area).second)
            continue;
        const Step step = StepOf(*d, m_file);
        if (m_dryRun) {
            output.Line(step.Planned());
            steps.Push(step.verb + " " + step.what);
            continue;
        }
        try {
            Write(s, *d);
        } catch (const CliFailure& failure) {
            throw CliFailure(failure.ExitCode(), step.verb + " " + step.what + ": " + failure.what(),
                             failure.DeviceCode());
        }
        steps.Push(step.verb + " " + step.what);
        output.Line(step.Done());
        if (d->area == SetupDiff::Area::Article)
            output.Progress(++articlesDone, articleWrites, "articles");
    }
    output.EndProgress();
    Show(output, left, "left", "left as it is: ");
    if (!left.empty())
        output.Note(std::string("restore leaves ") + std::to_string(left.size()) +
                    " item(s) as they are; --tax-rates writes the rates, --delete-extra deletes the articles the "
                    "file lacks");
    if (m_dryRun || writes.empty()) {
        if (writes.empty())
            output.Line("nothing to write");
        return;
    }

    // Read back: whatever it was to write must now be as in the file.
    std::vector<SetupDiff::Difference> remaining;
    for (const SetupDiff::Difference& d : SetupDiff::Compare(ReadSetup(s), m_file)) {
        if (!Left(d))
            remaining.push_back(d);
    }
    Show(output, remaining, "remaining", "still differs: ");
    if (!remaining.empty())
        throw CliFailure(CliFailure::kRefused, "after the restore " + std::to_string(remaining.size()) +
                                                   " item(s) still differ from " + m_path);
    output.Line("the register now matches " + m_path + (left.empty() ? "" : " but for what was left as it is"));
}
