// Morvax.Velto.XAttr: attribute holders that other public types name, under
// the short names the format gives them.

namespace Morvax.Velto.XAttr;

public sealed class aCj
{
    public aCj()
    {
    }
}

public sealed class BJ
{
    public BJ()
    {
    }
}

public sealed class cJ
{
    public cJ()
    {
    }
}

public sealed class DCj
{
    public DCj()
    {
    }
}

public sealed class dJ
{
    public dJ()
    {
    }
}

public sealed class ECj
{
    public ECj()
    {
    }
}

public sealed class HCj
{
    public HCj()
    {
    }
}

public interface ICt
{
}

public sealed class J5
{
    public J5()
    {
    }
}

public sealed class kCj
{
    public kCj()
    {
    }
}

public sealed class LCt
{
    public LCt()
    {
    }
}

public sealed class nJ
{
    public nJ()
    {
    }
}

public sealed class o5
{
    public o5()
    {
    }
}

public sealed class pCj
{
    public pCj()
    {
    }
}

public sealed class SCj
{
    public SCj()
    {
    }
}

public sealed class sCj
{
    public sCj()
    {
    }
}

public sealed class tJ
{
    public tJ()
    {
    }
}

public sealed class UCj
{
    public UCj()
    {
    }
}

public sealed class VCt
{
    public VCt()
    {
    }
}

public sealed class vJ
{
    public vJ()
    {
    }
}

public sealed class yCj
{
    public yCj()
    {
    }
}

public sealed class Z5
{
    public Z5()
    {
    }
}
