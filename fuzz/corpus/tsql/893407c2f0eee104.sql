 Update t_Cust Set FCurrencyID=2,FSELowPrice=20
 Where  FBrNo='0' and FItemID=1098
 ; Update t_ICItem set FSOLowPrc=20 , FSOLowPrcMnyType=2 , FSalePriceFixingType=1 Where FItemID=1098