#include "shell/RequestNotice.h"

#include "core/MessageBox.h"
#include "net/INetwork.h"

bool RequestNotice::send(live::INetwork* net, uint8_t type, const QStringList& args,
                         QWidget* parent, const char* tag) {
    if (net && net->send(type, args, tag) == 0) {
        return true;
    }
    live::MessageBox::warning(parent, tr("警告"), tr("请求未能发出，请检查网络配置后重试"),
                              QMessageBox::Ok);
    return false;
}
