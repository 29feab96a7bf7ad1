// The enumerations of Morvax.Velto.XAttr.
using System;

namespace Morvax.Velto.XAttr;

[Flags]
public enum QCt
{
}
