#include "data/F_DB.h"

TFDB* FDB = nullptr;

const QString TablePassword = QStringLiteral("EE58BB31FF47");

namespace
{

// The ten toolbar images, index 0 to 9.
QList<QIcon> ToolbarImages()
{
    QList<QIcon> images;
    for (int i = 0; i < 10; ++i)
        images.append(QIcon(QStringLiteral(":/images/toolbar/%1.svg").arg(i)));
    return images;
}

template <typename T> T* Named(T* component, const QString& name)
{
    component->setObjectName(name);
    return component;
}

} // namespace

TFDB::TFDB(QObject* parent) : QObject(parent)
{
    Session1 = Named(new TSession(this), QStringLiteral("Session1"));
    QGEN = Named(new TQuery(Session1, this), QStringLiteral("QGEN"));
    DS_QGEN = Named(new TDataSource(QGEN, this), QStringLiteral("DS_QGEN"));
    T_Nortav = Named(new TTable(Session1, this), QStringLiteral("T_Nortav"));
    DS_Nortav = Named(new TDataSource(T_Nortav, this), QStringLiteral("DS_Nortav"));
    ImageList2BIG = ToolbarImages();
    Session1->SetActive(true);
}
