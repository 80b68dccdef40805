#include "ecr/protocol/DeviceMessageText.h"

#include <array>
#include <utility>

namespace {

std::array<const char*, 256> BuildTable()
{
    std::array<const char*, 256> table{};
    table.fill("???");
    static const std::pair<int, const char*> texts[] = {
        {0, "Operacija je uspesna"},
        {1, "Operacija nije dozvoljena u fiskalnom sistemu"},
        {2, "Greska u kontrolnoj sumi"},
        {3, "Pogresan br. parametara"},
        {4, "Pogresan parametar"},
        {5, "Grska u satu RTC"},
        {6, "Fatalna greska u fiskalnom modulu"},
        {7, "Operacija nije dozvoljena u nefiskalnom modu"},
        {8, "Brojaci nisu anulirani"},
        {9, "Uredjaj je u modu SAMO-CITANJE"},
        {10, "Podignut je poklopac"},
        {11, "Podignuta je poluga u stamparskom mehanizmu"},
        {12, "Nema papira (trake)"},
        {13, "Greska u mehanizmu za stampanje"},
        {14, "Greska u mehanizmu za stampanje ili je ispraznjena baterija"},
        {15, "Slabi akumulator"},
        {20, "Izabran je nepostojeci artikal"},
        {27, "Korisnik nije potvrdio IBFM"},
        {30, "Statistike zapisa nisu anulirane"},
        {31, "Pokusaj brisanja poslednjeg artikla u bazi"},
        {32, "Pogresan datum i vreme"},
        {33, "Datum je raniji od datuma u fiskalnom modulu"},
        {34, "Stampano je posle izvestaja"},
        {35, "Pogresan smer promene vremena (\xB1" "1 sata)"},  // 0xB1: plus-minus in Windows-1250
        {42, "Blokada nakon greske fiskalnog modula"},
        {53, "Prekoraceni PLU brojaci"},
        {54, "Pogresni PLU podaci(poreska stopa,jedinica mere)"},
        {56, "Previse linija na racunu"},
        {57, "Transakcija ukljucena"},
        {58, "Transakcija iskljucena"},
        {59, "Greska zatvaranja racuna"},
        {60, "Prekoracena je vrednost na racunu (prevelika ili premala)"},
        {61, "Kolicina premala"},
        {62, "Format kolicine je pogresan"},
        {64, "Brojaci su prepuni"},
        {65, "Greska prametara storniranja"},
        {70, "Poreska stopa nije aktivna"},
        {80, "Pogresan datum ili brojevi dnevnih izv.u periodicnom izvestaju"},
        {84, "Nema izvestaja u datom periodu"},
        {85, "Nema IBFM-a"},
        {86, "Test izdrzljivosti nije izvrsen"},
        {87, "Finalni test nije izvrsen"},
        {92, "Datum u kasi je raniji nego datum u fiskalnom modulu"},
        {93, "Programiranje vec uvedene stope"},
        {94, "Pogrsne poreske stope"},
        {95, "Veci broj promene stopa nego sto je dozvoljeno"},
        {100, "Nema naslova"},
        {101, "Greska u programiranju naslova"},
        {102, "Greska u izradi dnevnog izvestaja"},
        {103, "Neispravna nuzina PIB-a"},
        {110, "Greska u dodavanju zapisa u bazu podataka"},
        {112, "Neispravno ime proizvoda"},
        {113, "Nije jedinstven naziv"},
        {114, "Neispravna cena (nula ili prevelika)"},
        {115, "Neispravna jedinica mere"},
        {116, "Pogresna poreska stopa"},
        {125, "Greska pri dodavanju zapisa u bazu podataka"},
        {130, "Pogresna linija u bajtima"},
        {131, "Pogresan tip grafike"},
        {132, "Pogresan broj linija"},
        {133, "Pogresan br.linije"},
        {134, "Pogrsna duzina podataka"},
        {135, "Graficki podatak je izvan opsega 0-9, A-F."},
        {140, "Isti autorizacioni kod"},
        {141, "Pogresan autorizacioni kod"},
        {142, "Nije unet kod za autorizaciju"},
        {150, "Zaglavlje u memoriji je osteceno"},
        {151, "Konfiguracioni podaci su osteceni"},
        {152, "Baza podataka je ostecena"},
        {156, "Pogresan datum ili prekinuto potvrdjivanje (pre izvestaja)"},
        {254, "Funkcija nije dozvoljena"},
        {255, "Funkcija nije dostupna"},
    };
    for (const auto& [code, text] : texts) {
        table[static_cast<std::size_t>(code)] = text;
    }
    return table;
}

}  // namespace

const char* DeviceMessageText(std::int32_t code)
{
    static const std::array<const char*, 256> table = BuildTable();
    if (code < 0 || code > 255) {
        return "???";
    }
    return table[static_cast<std::size_t>(code)];
}
