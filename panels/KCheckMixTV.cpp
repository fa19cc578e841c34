#include "KCheckMixTV.h"

#include "AppServices.h"
#include "KCtrlFile.h"

#include <QMenu>
#include <QMouseEvent>
#include <QUrl>
#include <QUrlQuery>

KCheckMixTV::KCheckMixTV(KCtrlFile* file, QWidget* parent) : KCheckableTreeView(file, parent), document(file)
{
    menu = new QMenu(this);
    menu->addAction(tr("Sélectionner toutes les pistes"), this, &KCheckMixTV::selectAll);
    menu->addAction(tr("Désélectionner toutes les pistes"), this, &KCheckMixTV::unselectAll);
    menu->addAction(tr("Commander une pizza"), this, &KCheckMixTV::commandPizza);
}

void KCheckMixTV::setKCtrlFile(KCtrlFile* file)
{
    document = file;
    setKFile(file);
}

void KCheckMixTV::selectAll()
{
    if (document)
        document->setEltsStatus(true, false);
}

void KCheckMixTV::unselectAll()
{
    if (document)
        document->setEltsStatus(false, false);
}

QUrl KCheckMixTV::pizzaAddress()
{
    // A fixed search site: only the query words come from the translation.
    QUrl address("https://www.tovra-media.example/pizza");
    QUrlQuery query;
    query.addQueryItem("query", tr("pizzeria"));
    address.setQuery(query);
    return address;
}

void KCheckMixTV::commandPizza()
{
    AppServices::openDoc(pizzaAddress().toString(QUrl::FullyEncoded), false);
}

void KCheckMixTV::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        menu->popup(event->globalPosition().toPoint());
        return;
    }
    KCheckableTreeView::mouseReleaseEvent(event);
}

void KCheckMixTV::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}
