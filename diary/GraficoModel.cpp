#include "diary/GraficoModel.h"

#include "app/Layout.h"
#include "data/Engine.h"

TGraficoModel::TGraficoModel()
    : m_serie{{
          {QStringLiteral("Mattina"), BgrColor(0x0000FF), BgrColor(0x0000FF), QStringLiteral("Val01"), {}},
          {QStringLiteral("Pranzo"), BgrColor(0x008000), BgrColor(0x008000), QStringLiteral("Val02"), {}},
          {QStringLiteral("Merenda"), BgrColor(0x00FFFF), BgrColor(0x00FFFF), QStringLiteral("Val03"), {}},
          {QStringLiteral("Cena"), BgrColor(0xFF0000), BgrColor(0xFF0000), QStringLiteral("Val04"), {}},
          {QStringLiteral("Notte"), BgrColor(0x80FF00), BgrColor(0x00FF00), QStringLiteral("Val05"), {}},
      }}
{
}

void TGraficoModel::Clear()
{
    for (TSerieGrafico& serie : m_serie)
        serie.Punti.clear();
    m_etichette.clear();
}

int TGraficoModel::AggiungiRiga(const QString& etichetta)
{
    m_etichette.append(etichetta);
    return int(m_etichette.size()) - 1;
}

void TGraficoModel::AggiungiPunto(int k, int valore)
{
    TSerieGrafico& serie = m_serie.at(k);
    serie.Punti.push_back({int(m_etichette.size()) - 1, valore, m_etichette.back(), serie.ColorePunti});
}

std::vector<std::span<const TPuntoGrafico>> TGraficoModel::Tratti(int k) const
{
    const std::vector<TPuntoGrafico>& punti = m_serie.at(k).Punti;
    std::vector<std::span<const TPuntoGrafico>> tratti;
    size_t inizio = 0;
    for (size_t i = 1; i <= punti.size(); ++i) {
        if (i == punti.size() || punti[i].X != punti[i - 1].X + 1) {
            tratti.emplace_back(punti.data() + inizio, i - inizio);
            inizio = i;
        }
    }
    return tratti;
}

QString TestoGrafico(const QString& tabella, const QString& dal, const QString& al)
{
    const QChar virgolette = QLatin1Char('"');
    return QStringLiteral("SELECT * FROM ") + tabella + QStringLiteral(" WHERE DATA>=") + virgolette + dal +
           virgolette + QStringLiteral(" AND DATA<=") + virgolette + al + virgolette +
           QStringLiteral(" ORDER BY DATA ASC");
}

namespace
{

// Looks each column up by name once per walk, at its first use, so a missing column fails where the row
// reads it.
class TCampiGrafico
{
public:
    explicit TCampiGrafico(TQuery& query) : m_query(query) {}

    TField& Campo(int indice, const QString& nome)
    {
        TField*& campo = m_campi.at(indice);
        if (!campo)
            campo = &m_query.FieldByName(nome);
        return *campo;
    }

private:
    TQuery& m_query;
    std::array<TField*, TGraficoModel::NumeroSerie + 1> m_campi{};
};

} // namespace

void CaricaGrafico(TQuery& query, const QString& tabella, const QString& dal, const QString& al,
                   TGraficoModel& model)
{
    query.Close();
    query.SetSQL(TestoGrafico(tabella, dal, al));
    query.Open();
    model.Clear();
    TCampiGrafico campi(query);
    const QString data = QStringLiteral("Data");
    query.First();
    while (!query.Eof()) {
        model.AggiungiRiga(campi.Campo(0, data).AsString());
        for (int k = 0; k < TGraficoModel::NumeroSerie; ++k) {
            const TField& valore = campi.Campo(k + 1, model.Serie(k).Colonna);
            if (!valore.IsNull())
                model.AggiungiPunto(k, valore.AsInteger());
        }
        query.Next();
    }
}
